#pragma once
#include <stddef.h>
#include <stdint.h>

// CRC-32 as zip, PNG and Ethernet compute it (reflected polynomial 0xEDB88320). crc is 0 for the
// first piece and the previous result for each further one, so a long input can come in pieces.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
