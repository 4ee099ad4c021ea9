#pragma once
// Pictures for a person to look at: the screen inside a rectangle saved as a PNG file under
// build/windows/screenshots. Shared by the unit and the end-to-end tests.
#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

// build/windows/screenshots, beside the folder of the test programs; created on demand.
std::wstring ScreenshotDir();

// The header of a top-down 32-bit DIB section of the size, whose pixels are 0x00RRGGBB.
BITMAPINFO TopDownInfo(int width, int height);

// The screen as it is now inside the rectangle.
bool SaveScreenshot(const RECT& screenRect, const std::wstring& path);

// A PNG file of pixels 0x00RRGGBB (as a 32-bit DIB holds them), top row first, 8-bit RGB without
// filters, its image data in stored (uncompressed) deflate blocks.
std::vector<uint8_t> EncodePng(int width, int height, const uint32_t* pixels);
bool WritePngFile(const std::wstring& path, int width, int height, const uint32_t* pixels);
