#include "lang/core/archive_builder.h"

#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/core/crc32.h"
#include "lang/core/language_archive.h"
#include "lang/core/lzari_encode.h"
#include "lang/core/utf8.h"

namespace {

// Everything here reports failure through return values: the core library is also compiled
// without exceptions.

bool ReadWholeFile(const std::filesystem::path& path, std::string* contents, std::string* error) {
    FILE* file = fopen(path.string().c_str(), "rb");
    if (!file) {
        *error = path.string() + ": cannot open";
        return false;
    }
    contents->clear();
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, got);
    bool ok = !ferror(file);
    fclose(file);
    if (!ok) *error = path.string() + ": read error";
    return ok;
}

// Strict UTF-8 (no overlong forms, surrogates or code points above U+10FFFF) into UTF-16 lines.
// A leading UTF-8 BOM is dropped; LF ends a line and a CR right before it is dropped with it.
bool DecodeLines(const std::string& utf8, const std::string& fileName, std::vector<std::u16string>* lines,
                 std::string* error) {
    lines->clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    size_t const size = utf8.size();
    size_t i = 0;
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) i = 3;
    std::u16string line;
    int lineNumber = 1;
    auto fail = [&](const char* what) {
        *error = fileName + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (i < size) {
        char32_t cp;
        if (!NextUtf8CodePoint(utf8, &i, &cp)) return fail("invalid UTF-8");
        if (cp == 0) return fail("NUL character (it would end the text early)");
        if (cp == u'\n') {
            lines->push_back(line);
            line.clear();
            lineNumber++;
        } else if (cp == u'\r') {
            if (i >= size || bytes[i] != '\n') return fail("carriage return inside a line");
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            line.push_back(char16_t(0xD800 + (cp >> 10)));
            line.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            line.push_back(char16_t(cp));
        }
    }
    if (!line.empty()) lines->push_back(line);
    return true;
}

// A "##" anywhere in the text separates sections, so it may only open a language header.
bool CheckNoSeparator(const std::vector<std::u16string>& lines, size_t firstLine, size_t from,
                      const std::string& fileName, std::string* error) {
    for (size_t n = firstLine; n < lines.size(); n++) {
        size_t at = lines[n].find(u"##", n == firstLine ? from : 0);
        if (at != std::u16string::npos) {
            *error = fileName + ":" + std::to_string(n + 1) +
                     ": \"##\" inside a text line (it would split the section)";
            return false;
        }
    }
    return true;
}

void AppendLine(std::u16string* text, const std::u16string& line) {
    text->append(line);
    text->append(u"\r\n");
}

bool ParseSlotFileName(const std::string& name, int* slot) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const std::string suffix = ".txt";
    if (name.size() < 3 + suffix.size() || !isDigit(name[0]) || !isDigit(name[1]) || name[2] != '-')
        return false;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
    *slot = (name[0] - '0') * 10 + (name[1] - '0');
    return true;
}

}  // namespace

bool ReadArchiveSources(const std::string& directory, ArchiveSources* sources, std::string* error) {
    namespace fs = std::filesystem;
    const fs::path dir(directory);
    *sources = ArchiveSources();
    if (!ReadWholeFile(dir / "preamble.txt", &sources->preamble, error)) return false;
    if (!ReadWholeFile(dir / "product.txt", &sources->product, error)) return false;

    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        LanguageSource source;
        if (!ParseSlotFileName(name, &source.slot)) continue;
        if (source.slot >= kMaxLanguageSlots) {
            *error = name + ": slot " + std::to_string(source.slot) + " is beyond the " +
                     std::to_string(kMaxLanguageSlots) + " language slots";
            return false;
        }
        source.fileName = name;
        if (!ReadWholeFile(it->path(), &source.utf8, error)) return false;
        sources->languages.push_back(std::move(source));
    }
    if (ec) {
        *error = directory + ": cannot list (" + ec.message() + ")";
        return false;
    }
    std::sort(sources->languages.begin(), sources->languages.end(),
              [](const LanguageSource& a, const LanguageSource& b) { return a.slot < b.slot; });
    for (size_t i = 1; i < sources->languages.size(); i++) {
        if (sources->languages[i].slot == sources->languages[i - 1].slot) {
            *error = sources->languages[i - 1].fileName + " and " + sources->languages[i].fileName +
                     ": two files for one slot";
            return false;
        }
    }
    return true;
}

bool BuildArchiveText(const ArchiveSources& sources, std::u16string* text, std::string* error) {
    std::vector<std::u16string> lines;
    std::u16string out(1, u'\uFEFF');

    if (!DecodeLines(sources.preamble, "preamble.txt", &lines, error) ||
        !CheckNoSeparator(lines, 0, 0, "preamble.txt", error))
        return false;
    for (const auto& line : lines) AppendLine(&out, line);

    if (!DecodeLines(sources.product, "product.txt", &lines, error) ||
        !CheckNoSeparator(lines, 0, 0, "product.txt", error))
        return false;
    AppendLine(&out, u"##");
    for (const auto& line : lines) AppendLine(&out, line);
    AppendLine(&out, u"##");  // the two reserved sections stay empty
    AppendLine(&out, u"##");

    int nextSlot = 0;
    int previousSlot = -1;
    for (const LanguageSource& source : sources.languages) {
        if (source.slot <= previousSlot || source.slot >= kMaxLanguageSlots) {
            *error = source.fileName + ": slot out of order or out of range";
            return false;
        }
        previousSlot = source.slot;
        if (!DecodeLines(source.utf8, source.fileName, &lines, error)) return false;
        if (lines.empty() || lines[0].compare(0, 3, u"##=") != 0 || lines[0].size() == 3) {
            *error =
                source.fileName + ":1: the file must begin with a \"##=\" header line naming the language";
            return false;
        }
        if (!CheckNoSeparator(lines, 0, 1, source.fileName, error)) return false;
        // A slot without a file keeps its number with a nameless, empty section.
        for (; nextSlot < source.slot; nextSlot++) AppendLine(&out, u"##");
        for (const auto& line : lines) AppendLine(&out, line);
        nextSlot = source.slot + 1;
    }
    AppendLine(&out, u"##");
    AppendLine(&out, u"");
    AppendLine(&out, u"");
    *text = std::move(out);
    return true;
}

std::vector<uint8_t> Utf16LeBytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(uint8_t(unit & 0xFF));
        bytes.push_back(uint8_t(unit >> 8));
    }
    return bytes;
}

std::vector<uint8_t> BuildArchiveBytes(const std::u16string& text) {
    std::vector<uint8_t> utf16 = Utf16LeBytes(text);
    std::vector<uint8_t> payload = LzariEncode(utf16.data(), utf16.size());
    std::vector<uint8_t> archive(kStartMarkerSize);
    BuildStartMarker(archive.data());
    archive.insert(archive.end(), payload.begin(), payload.end());
    archive.insert(archive.end(), kArchiveFiller, uint8_t(' '));
    uint8_t endMarker[kEndMarkerSize];
    BuildEndMarker(endMarker);
    archive.insert(archive.end(), endMarker, endMarker + kEndMarkerSize);
    uint32_t const checksum = Crc32(utf16.data(), utf16.size());
    for (size_t i = 0; i < kChecksumSize; i++) archive.push_back(uint8_t(checksum >> (8 * i)));
    return archive;
}
