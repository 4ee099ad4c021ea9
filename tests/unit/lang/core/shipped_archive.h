#pragma once
// The archive built from res/lang and decoded and loaded the way the exe does it, for tests that
// need the shipped texts.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lang/core/archive_builder.h"
#include "lang/core/language_archive.h"
#include "lang/core/lzari.h"

#ifndef HUEPEEK_SOURCE_DIR
#define HUEPEEK_SOURCE_DIR "."
#endif

struct ShippedArchive {
    ArchiveSources sources;
    std::u16string text;  // as built, before packing
    std::vector<char16_t> decoded;
    std::unique_ptr<LanguageArchive> archive = std::make_unique<LanguageArchive>();
};

// Builds, packs, unpacks and loads; fails the calling test (use ASSERT_NO_FATAL_FAILURE) on error.
inline void LoadShippedArchive(ShippedArchive* shipped) {
    std::string error;
    ASSERT_TRUE(ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &shipped->sources, &error)) << error;
    ASSERT_TRUE(BuildArchiveText(shipped->sources, &shipped->text, &error)) << error;
    std::vector<uint8_t> file = BuildArchiveBytes(shipped->text);
    ArchiveLocation where;
    ASSERT_TRUE(LocateArchive(file.data(), file.size(), &where));
    uint32_t const declared = where.declaredSize;
    ASSERT_EQ(declared, shipped->text.size() * 2);
    shipped->decoded.assign(declared / 2 + 6, 0);  // declared size + 10 bytes, as the exe allocates
    ASSERT_TRUE(DecodeArchive(file.data(), where, reinterpret_cast<uint8_t*>(shipped->decoded.data())));
    LoadArchiveText(shipped->decoded.data(), declared / 2, shipped->archive.get());
}
