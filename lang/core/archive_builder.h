#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// Build-time only (the packer, tests and benchmarks): turns res/lang into the archive bytes that
// the exe carries.

// Spaces behind the stream: the decoder may read a few as look-ahead bits. No more than that: every
// byte of the archive is a byte of the exe.
constexpr size_t kArchiveFiller = 16;

struct LanguageSource {
    int slot;              // from the file name's two-digit prefix
    std::string fileName;  // for messages
    std::string utf8;
};

struct ArchiveSources {
    std::string preamble;                   // UTF-8 contents of preamble.txt
    std::string product;                    // UTF-8 contents of product.txt
    std::vector<LanguageSource> languages;  // sorted by slot, no slot twice
};

// Reads preamble.txt, product.txt and every NN-*.txt of directory.
bool ReadArchiveSources(const std::string& directory, ArchiveSources* sources, std::string* error);

// The archive text: BOM, preamble, "##", product strings, two empty reserved sections, one section
// per slot (a nameless "##" line for a slot without a file, so every language keeps its slot
// number), and a final "##" with two empty lines; every line ends in CR LF. Fails with a message on
// invalid UTF-8, a NUL or a stray CR, a "##" that is not a header's start, or a file whose first
// line is not a "##=" header with a name.
bool BuildArchiveText(const ArchiveSources& sources, std::u16string* text, std::string* error);

std::vector<uint8_t> Utf16LeBytes(const std::u16string& text);

// Start marker, declared size, LZARI stream, space filler, end marker, and behind the archive the
// checksum of the text.
std::vector<uint8_t> BuildArchiveBytes(const std::u16string& text);
