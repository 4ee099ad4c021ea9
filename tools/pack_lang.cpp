// Packs res/lang into the language archive that huepeek.exe carries as a resource.
//   pack_lang [--unchecked] <res/lang dir> <out archive file> [<out text file>]
// Every language file is first checked against the English reference (placeholders, escapes, key
// names, line order, the slot's name); a fault fails the build with its file and line, and no archive
// is written. --unchecked skips that check, for hand-made test archives that are not translations.
// The optional text file receives the archive's UTF-16LE text before compression.

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/core/archive_builder.h"
#include "lang/core/language_archive.h"
#include "lang/core/language_source_check.h"

namespace {

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = fclose(file) == 0 && ok;
    // A half-written archive must not look up to date to the build.
    if (!ok) remove(path);
    return ok;
}

// The archive is read back exactly as the exe reads it, so a packer fault fails the build instead
// of shipping a program that cannot show its texts.
bool VerifyArchive(const std::vector<uint8_t>& archive, const std::vector<uint8_t>& text) {
    ArchiveLocation where;
    if (!LocateArchive(archive.data(), archive.size(), &where) || where.declaredSize != text.size())
        return false;
    std::vector<uint8_t> decoded(text.size() + 10);
    if (!DecodeArchive(archive.data(), where, decoded.data())) return false;
    decoded.resize(text.size());
    return decoded == text;
}

}  // namespace

int main(int argc, char** argv) {
    bool const checked = !(argc > 1 && strcmp(argv[1], "--unchecked") == 0);
    if (!checked) {
        argc--;
        argv++;
    }
    if (argc != 3 && argc != 4) {
        fprintf(stderr,
                "usage: pack_lang [--unchecked] <res/lang dir> <out archive file> [<out text file>]\n");
        return 2;
    }
    // A failed run leaves no archive behind, so the build cannot mistake an old one for its result.
    remove(argv[2]);
    ArchiveSources sources;
    std::u16string text;
    std::string error;
    if (!ReadArchiveSources(argv[1], &sources, &error) || !BuildArchiveText(sources, &text, &error)) {
        fprintf(stderr, "pack_lang: %s\n", error.c_str());
        return 1;
    }
    if (checked) {
        std::vector<std::string> const faults = CheckLanguageSources(sources.languages);
        for (const std::string& fault : faults) fprintf(stderr, "pack_lang: %s\n", fault.c_str());
        if (!faults.empty()) {
            fprintf(stderr,
                    "pack_lang: %zu fault(s) in the language files of %s; each must match the English "
                    "reference (01-english.txt). No archive written.\n",
                    faults.size(), argv[1]);
            return 1;
        }
    }
    bool hasReference = false;
    for (const LanguageSource& source : sources.languages) hasReference |= source.slot == kReferenceSlot;
    if (!hasReference)
        fprintf(
            stderr,
            "pack_lang: warning: no file for slot 01, the reference language every lookup falls back to\n");

    std::vector<uint8_t> textBytes = Utf16LeBytes(text);
    if (textBytes.size() > kMaxDeclaredSize) {
        fprintf(stderr, "pack_lang: the text (%zu bytes) exceeds the loader's limit of %u bytes\n",
                textBytes.size(), unsigned(kMaxDeclaredSize));
        return 1;
    }
    std::vector<uint8_t> archive = BuildArchiveBytes(text);
    if (!VerifyArchive(archive, textBytes)) {
        fprintf(stderr, "pack_lang: internal error: the archive does not decode back to its text\n");
        return 1;
    }
    if (!WriteFile(argv[2], archive)) {
        fprintf(stderr, "pack_lang: %s: cannot write\n", argv[2]);
        return 1;
    }
    if (argc == 4 && !WriteFile(argv[3], textBytes)) {
        fprintf(stderr, "pack_lang: %s: cannot write\n", argv[3]);
        return 1;
    }
    return 0;
}
