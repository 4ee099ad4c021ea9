// The texts that the program builds from archive texts: the colour dialog's info text with its five
// help lines, and the thank-you address from the site product strings. The input is loaded as an
// archive text and parsed as a language file; whatever the texts hold, each builder stays inside
// its buffer, keeps it terminated and cuts it only as a prefix of the whole text, never inside a
// surrogate pair.

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/core/text.h"
#include "fuzz_input.h"
#include "lang/core/language_archive.h"
#include "lang/core/string_lookup.h"
#include "lang/core/text_ids.h"
#include "picker/core/colour_forms.h"
#include "services/core/site_address_rules.h"

namespace {

double RoundHalfEven(double value) {
    return std::nearbyint(value);
}

// An exact-size heap buffer, so that the address sanitizer sees any write past its end.
struct Buffer {
    explicit Buffer(size_t chars) : units(new char16_t[chars ? chars : 1]), capacity(chars) {}
    ~Buffer() { delete[] units; }
    char16_t* units;
    size_t capacity;
};

void CheckInfoText(const char16_t* const help[kTextHelpCount], uint32_t colour, size_t cut) {
    static char16_t whole[kInfoTextChars];
    size_t const length = InfoText(colour, RoundHalfEven, help, whole, kInfoTextChars);
    if (length >= kInfoTextChars || whole[length] != 0 || TextLength(whole) != length) abort();

    Buffer part(cut);
    size_t const partLength = InfoText(colour, RoundHalfEven, help, part.units, part.capacity);
    if (cut == 0) {
        if (partLength != 0) abort();
        return;
    }
    if (partLength >= cut || part.units[partLength] != 0 || partLength > length) abort();
    if (memcmp(part.units, whole, partLength * sizeof(char16_t)) != 0) abort();
    // Cut between the two halves of a pair only where the help text itself has a lone half.
    if (partLength > 0 && partLength < length && IsHighSurrogate(part.units[partLength - 1]) &&
        whole[partLength] >= 0xDC00 && whole[partLength] <= 0xDFFF)
        abort();
}

void CheckAddress(const char16_t* base, int languageIndex, size_t capacity) {
    SitePage const pages[] = {SitePage::kThanks, SitePage::kLicence,      SitePage::kDonation,
                              SitePage::kFaq,    SitePage::kMoreFreeware, SitePage::kUninstall};
    for (SitePage page : pages) {
        Buffer out(capacity);
        bool const built = PageAddress(page, base, languageIndex, out.units, out.capacity);
        if (capacity == 0) {
            if (built) abort();
            continue;
        }
        if (!built) {
            if (out.units[0] != 0) abort();
            continue;
        }
        // Whole or nothing: the base first, and everything inside the capacity.
        std::u16string const got(out.units);
        if (got.size() >= capacity || got.compare(0, std::u16string(base).size(), base) != 0) abort();
        if (page == SitePage::kThanks && got != std::u16string(base) + u"/?seite=Microsoft/Huepeek" +
                                                    (languageIndex == 0 ? u"/Danke" : u"/Thanks"))
            abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The colour and the cut come from the input's first bytes; the whole input is also the text.
    uint32_t colour = 0;
    size_t cut = 0;
    if (size >= 6) {
        memcpy(&colour, data, 4);
        cut = size_t(data[4] | data[5] << 8) % (kInfoTextChars + 1);
    }

    static LanguageArchive* archive = new LanguageArchive;
    static PlaceholderStore* placeholders = new PlaceholderStore;
    std::vector<char16_t> text = AsUtf16(data, size);
    LoadArchiveText(text.data(), size / 2, archive);
    const char16_t* help[kTextHelpCount];
    // Every slot, and a language index outside them (English, or placeholders).
    for (int slot = -1; slot < archive->languageCount; slot++) {
        for (int i = 0; i < kTextHelpCount; i++)
            help[i] = LookupText(*archive, slot, false, nullptr, kTextHelpFirst + i, placeholders);
        CheckInfoText(help, colour, cut);
    }
    for (int key : {kProductSiteGerman, kProductSiteInternational}) {
        const char16_t* base = ProductString(*archive, key);
        if (!base) continue;
        for (int languageIndex : {0, 1}) {
            CheckAddress(base, languageIndex, cut);
            CheckAddress(base, languageIndex, 1024);  // the program's buffer
        }
    }

    // The same input as a language file of the user's.
    std::vector<char16_t> file = AsUtf16(data, size);
    const char16_t* table[kStringIdCount];
    ParseSection(file.data(), table);
    for (int i = 0; i < kTextHelpCount; i++)
        help[i] = LookupText(*archive, 1, true, table, kTextHelpFirst + i, placeholders);
    CheckInfoText(help, colour, cut);
    return 0;
}
