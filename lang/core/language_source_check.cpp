#include "lang/core/language_source_check.h"

#include "lang/core/language_archive.h"
#include "lang/core/utf8.h"

const char kSourceHeading[] = "[heading]";

const std::pair<const char*, const char*> kQuotedCaptions[2] = {{"47", "40"}, {"47", "51"}};

const AccessKeyView kAccessKeyViews[2] = {
    {"the main dialog on the picker page",
     {"27", "28", "51", "20", "40", "100", "30", "31"},
     {{'H', "the button \"&Huepeek\""}, {'N', "the box \"Wi&n\""}}},
    {"the main dialog on the More page",
     {"27", "28", "51", "20", "52", "53", "54", "55", "30", "31"},
     {{'H', "the button \"&Huepeek\""}}},
};

// The names are compared byte for byte with UTF-8 files.
static_assert(sizeof("한") == 4, "this file must be compiled with a UTF-8 execution character set");

const LanguageSlot kLanguageSlots[] = {
    {0, "German\tDeutsch", "21", "Farbe Speichern", "Abbruch"},
    {1, "English\tEnglisch", nullptr, nullptr, nullptr},
    {2, "Korean\t한국어", nullptr, nullptr, nullptr},
    {3, "French\tFrançaise", nullptr, nullptr, nullptr},
    {4, "Japanese\t日本", nullptr, nullptr, nullptr},
    {5, "Russian\tРусский", nullptr, nullptr, nullptr},
    {6, "Spanish\tEspañol", nullptr, nullptr, nullptr},
    {7, "Italian\tItaliano", nullptr, nullptr, nullptr},
    {8, "Chinese-Traditional\t正體中文", nullptr, nullptr, nullptr},
    {9, "Portuguese\tEuropean", nullptr, nullptr, nullptr},
    {10, "Thai\tภาษาไทย", nullptr, nullptr, nullptr},
    {11, "Arabic\tالعربية", nullptr, nullptr, nullptr},
    {12, "Frisian\tFrisisch", nullptr, nullptr, nullptr},
    {13, "Polish\tPolski", nullptr, nullptr, nullptr},
    {14, "Norwegian\tNorsk", nullptr, nullptr, nullptr},
    {15, "Irish\tUnited Kingdom", nullptr, nullptr, nullptr},
    {16, "Nederlands\tDutch", nullptr, nullptr, nullptr},
    {17, "Spanish\tEspañol", nullptr, nullptr, nullptr},
    {18, "Vietnamese\tTiếng Việt (Việt Nam)", nullptr, nullptr, nullptr},
    {19, "Swedish\tSvenska", nullptr, nullptr, nullptr},
    {20, "Danish\tDansk", nullptr, nullptr, nullptr},
    {21, "Spanish-VE\tVenezuela", nullptr, nullptr, nullptr},
    {22, "Afrikaans\tSouth-Africa", nullptr, nullptr, nullptr},
    {23, "Welsh\tUnited Kingdom", nullptr, nullptr, nullptr},
    {24, "Persian\tفارسی", nullptr, nullptr, nullptr},
    {25, "Hebrew\tעברית", nullptr, nullptr, nullptr},
    {26, "Hindi\tहिन्दी", nullptr, nullptr, nullptr},
    {27, "Malay\tMalaysia", nullptr, nullptr, nullptr},
    {28, "Indonesian\tIndonesia", nullptr, nullptr, nullptr},
    {29, "Filipino\tPilipino", nullptr, nullptr, nullptr},
    {30, "Finnish\tSuomi", nullptr, nullptr, nullptr},
    {31, "Czech\tČeský", nullptr, nullptr, nullptr},
    {32, "Ukrainian\tУкраїнська", nullptr, nullptr, nullptr},
    {33, "Hungarian\tMagyar", nullptr, nullptr, nullptr},
    {34, "Bosnian\tBosanski / Hrvatski / Srpski", nullptr, nullptr, nullptr},
};
const int kLanguageSlotCount = int(sizeof kLanguageSlots / sizeof kLanguageSlots[0]);

namespace {

// Texts the program or the user relies on verbatim: placeholders replaced in
// the mail or a note, the escapes expanded there, key names and colour forms that
// match what the picker copies. A token that is the start of a longer one
// ("#RRGGBB" of "#RRGGBBAA") is counted without the longer one's occurrences.
struct Token {
    const char* text;
    const char* longer;
};

const Token kVerbatimTokens[] = {
    {"#AP#", nullptr},
    {"#IN#", nullptr},
    {"#DL#", nullptr},
    {"\\r\\n", nullptr},
    {"\\r", nullptr},
    {"\\n", nullptr},
    {"[1]", nullptr},
    {"[2]", nullptr},
    {"[3]", nullptr},
    {"[4]", nullptr},
    {"#RRGGBB", "#RRGGBBAA"},
    {"#RRGGBBAA", nullptr},
    {"RR,GG,BB", "RR,GG,BB,AA"},
    {"RR,GG,BB,AA", nullptr},
    {"HSB/HSV", nullptr},
    {"RGB", nullptr},
    {"HSL", nullptr},
    {"#IN#?Download=#AP#", nullptr},
    {"%s", nullptr},  // the combination in the hot key's note
};

const char* const kPlaceholders[] = {"#AP#", "#IN#", "#DL#"};

class Faults {
  public:
    explicit Faults(std::string file) : file_(std::move(file)) {}

    void Add(int line, const std::string& key, const std::string& what) {
        std::string message = file_;
        if (line > 0) message += ":" + std::to_string(line);
        message += ": ";
        if (!key.empty()) message += Label(key) + ": ";
        message += what;
        list_.push_back(message);
    }

    std::vector<std::string> Take() { return std::move(list_); }

  private:
    static std::string Label(const std::string& key) {
        bool numeric = !key.empty() && key.find_first_not_of("0123456789") == std::string::npos;
        return numeric ? "ID " + key : key;
    }

    std::string file_;
    std::vector<std::string> list_;
};

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "<CR>";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

size_t Count(const std::string& text, const std::string& token) {
    size_t n = 0;
    for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + token.size())) ++n;
    return n;
}

size_t CountToken(const std::string& text, const Token& token) {
    size_t n = Count(text, token.text);
    return token.longer ? n - Count(text, token.longer) : n;
}

// A single "&" marks the mnemonic letter of a control; "&&" is a literal ampersand.
size_t CountMnemonics(const std::string& text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
        } else {
            ++n;
        }
    }
    return n;
}

// Where the access key's "&" stands, or npos.
size_t AccessKeyAt(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] != '&') return i;
        ++i;
    }
    return std::string::npos;
}

// Upper case as the dialog manager compares keys, for the scripts of the shipped languages:
// Latin (with Latin-1 and Latin Extended-A), Greek and Cyrillic; other scripts have no case.
char32_t FoldCase(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F))
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    bool const pairedOddLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    bool const pairedEvenUpper = (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 &&
                                  c != 0x149 && c != 0x17F && !pairedOddLower) ||
                                 (c >= 0x460 && c <= 0x4FF && !(c >= 0x482 && c <= 0x489));
    if (pairedOddLower && c % 2 == 0) return c - 1;
    if (pairedEvenUpper && c % 2 == 1) return c - 1;
    return c;
}

// Marks that sit on a letter rather than being one, and signs: what no key types by itself.
bool IsMarkOrSign(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static Range const kRanges[] = {
        {0x0000, 0x002F}, {0x003A, 0x0040}, {0x005B, 0x0060}, {0x007B, 0x00BF},
        {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x0300, 0x036F},                    // combining diacritics
        {0x0591, 0x05C7},                                                        // Hebrew points
        {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},                    // Arabic marks
        {0x0900, 0x0903}, {0x093A, 0x094F}, {0x0951, 0x0957}, {0x0962, 0x0963},  // Devanagari signs
        {0x0E31, 0x0E31}, {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E},                    // Thai vowel and tone marks
        {0x2000, 0x2BFF},  // punctuation, symbols, the zero-width joiners
    };
    for (Range const& range : kRanges)
        if (c >= range.first && c <= range.last) return true;
    return false;
}

// The key that the text's "&" marks (folded), 0 when the text has none, or -1 when the "&" marks
// nothing that can be typed: a blank, a sign, a combining mark or the end.
long AccessKeyOf(const std::string& text) {
    size_t const at = AccessKeyAt(text);
    if (at == std::string::npos) return 0;
    size_t next = at + 1;
    char32_t key = 0;
    if (!NextUtf8CodePoint(text, &next, &key) || IsMarkOrSign(key)) return -1;
    return long(FoldCase(key));
}

std::string KeyText(long key) {
    std::string out;
    char32_t const c = char32_t(key);
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return "\"" + out + "\"";
}

std::vector<std::string> SplitOn(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos; at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool HasAsciiLetterOrHash(const std::string& s) {
    for (unsigned char c : s) {
        if (c == '#' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

bool IsBlank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

// Encoding-level faults: the packer converts the file as UTF-8 and adds its
// own byte-order mark and CR LF, and a "##" anywhere but the header would
// open a new section in the archive.
void CheckBytes(const std::string& bytes, Faults& faults) {
    if (bytes.empty()) {
        faults.Add(0, "", "file is empty");
        return;
    }
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        faults.Add(1, "", "file starts with a byte-order mark (BOM)");
    if (bytes.back() != '\n') faults.Add(0, "", "file does not end with a newline");

    int line = 1;
    int lastReportedControlLine = 0;
    bool reportedCr = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n') {
            ++line;
        } else if (c == '\r') {
            if (!reportedCr) faults.Add(line, "", "contains a CR character (line ends must be LF only)");
            reportedCr = true;
        } else if ((c < 0x20 && !(c == '\t' && line == 1)) || c == 0x7F) {
            if (lastReportedControlLine != line)
                faults.Add(line, "", "contains control character " + std::to_string(c));
            lastReportedControlLine = line;
        } else if (c == '#' && i > 0 && i + 1 < bytes.size() && bytes[i + 1] == '#') {
            faults.Add(line, "", "contains \"##\", the archive's section separator");
            ++i;
        }
    }

    line = 1;
    char32_t previous = 0;
    for (size_t at = 0; at < bytes.size();) {
        char32_t cp;
        if (!NextUtf8CodePoint(bytes, &at, &cp)) {
            faults.Add(line, "", "invalid UTF-8 at byte offset " + std::to_string(at));
            return;
        }
        if (cp == '\n') ++line;
        if (cp == 0xFEFF && at > 3) faults.Add(line, "", "contains U+FEFF inside the text");
        if (cp == 0xFFFD) faults.Add(line, "", "contains U+FFFD, a character lost in an earlier conversion");
        if ((cp >= 0x80 && cp <= 0x9F) ||
            ((previous == 0xC2 || previous == 0xC3) && cp >= 0x80 && cp <= 0xBF)) {
            faults.Add(line, "", "looks double-encoded (UTF-8 read as a single-byte code page)");
        }
        previous = cp;
    }
}

SourceSection ParseSource(const std::string& bytes, Faults& faults) {
    SourceSection section;
    std::vector<std::string> lines = SplitOn(bytes, "\n");
    if (!bytes.empty() && bytes.back() == '\n') lines.pop_back();
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string text = lines[i];
        if (!text.empty() && text.back() == '\r') text.pop_back();  // reported by CheckBytes
        const int number = static_cast<int>(i) + 1;
        if (i == 0) {
            if (text.compare(0, 3, "##=") == 0) {
                section.header = text.substr(3);
                section.hasHeader = true;
            } else {
                faults.Add(1, "", "first line is not a language header \"##=...\"");
            }
            continue;
        }
        const size_t equals = text.find('=');
        if (equals != std::string::npos) {
            section.items.push_back({text.substr(0, equals), text.substr(equals + 1), number});
        } else if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
            section.items.push_back({kSourceHeading, text, number});
        } else {
            faults.Add(number, "", "line has no '=' and is not a [heading]: " + Quote(text));
        }
    }
    return section;
}

void CheckOrder(const SourceSection& section, const SourceSection& reference,
                const SourceExpectation& expected, const std::map<std::string, const SourceItem*>& winners,
                Faults& faults) {
    std::vector<const SourceItem*> order;
    for (const SourceItem& item : section.items) {
        if (!expected.repeatedKey.empty() && item.key == expected.repeatedKey &&
            winners.at(item.key) != &item) {
            continue;  // an earlier line of the repeated key may stand anywhere
        }
        order.push_back(&item);
    }
    for (size_t i = 0; i < reference.items.size(); ++i) {
        const std::string& want = reference.items[i].key;
        if (i >= order.size()) {
            faults.Add(
                0, "",
                "line order differs from the reference: the file ends where " + Quote(want) + " belongs");
            return;
        }
        if (order[i]->key != want) {
            faults.Add(order[i]->line, "",
                       "line order differs from the reference: expected " + Quote(want) + ", found " +
                           Quote(order[i]->key));
            return;
        }
    }
    if (order.size() > reference.items.size()) {
        faults.Add(order[reference.items.size()]->line, "",
                   "line order differs from the reference: extra line at the end");
    }
}

void CheckEscapeLayout(const SourceItem& item, const std::string& referenceText, Faults& faults) {
    const std::vector<std::string> want = SplitOn(referenceText, "\\r\\n");
    const std::vector<std::string> have = SplitOn(item.text, "\\r\\n");
    if (want.size() != have.size()) return;  // reported by the token counts
    for (size_t i = 0; i < want.size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1) + " of the \\r\\n layout ";
        if (!HasAsciiLetterOrHash(want[i])) {
            if (have[i] != want[i]) {
                faults.Add(
                    item.line, item.key,
                    where + "must stay " + Quote(want[i]) + " as in the reference, found " + Quote(have[i]));
            }
            continue;
        }
        if (IsBlank(have[i]))
            faults.Add(item.line, item.key, where + "is blank, the reference's is not (layout)");
        for (const char* placeholder : kPlaceholders) {
            const size_t w = Count(want[i], placeholder);
            const size_t h = Count(have[i], placeholder);
            if (w != h) {
                faults.Add(item.line, item.key,
                           where + "holds " + std::to_string(h) + " x \"" + placeholder +
                               "\", the reference's holds " + std::to_string(w) + " (layout)");
            }
        }
    }
}

void CheckText(const SourceItem& item, const std::string& want, Faults& faults) {
    const std::string& have = item.text;
    if (have.empty()) {
        faults.Add(item.line, item.key, "empty text");
        return;
    }
    for (const Token& token : kVerbatimTokens) {
        const size_t w = CountToken(want, token);
        const size_t h = CountToken(have, token);
        if (w != h) {
            faults.Add(item.line, item.key,
                       Quote(token.text) + " occurs " + std::to_string(h) + " times, the reference has " +
                           std::to_string(w));
        }
    }
    if (CountMnemonics(want) != CountMnemonics(have)) {
        faults.Add(item.line, item.key,
                   "has " + std::to_string(CountMnemonics(have)) + " mnemonic \"&\", the reference has " +
                       std::to_string(CountMnemonics(want)));
    } else if (AccessKeyOf(have) < 0) {
        faults.Add(item.line, item.key, "its access key \"&\" marks no letter or digit that can be typed");
    }
    if (want.empty()) return;
    if ((want.back() == ' ') != (have.back() == ' ')) {
        faults.Add(item.line, item.key,
                   want.back() == ' ' ? "must end in a space as the reference does"
                                      : "ends in a space, the reference does not");
    }
    if ((want.front() == ' ') != (have.front() == ' '))
        faults.Add(item.line, item.key, "leading space differs from the reference");
    if ((want.front() == '-') != (have.front() == '-'))
        faults.Add(item.line, item.key, "list marker '-' differs from the reference");
    if (Count(want, "\\r\\n") > 0) CheckEscapeLayout(item, want, faults);
    if (item.key == "TranslatorURL" &&
        (have.compare(0, 8, "https://") != 0 || have.find(' ') != std::string::npos)) {
        faults.Add(item.line, item.key, "is not an https address: " + Quote(have));
    }
}

void CheckRepeatedKey(const SourceSection& section, const SourceExpectation& expected, Faults& faults) {
    std::map<std::string, std::vector<const SourceItem*>> byKey;
    for (const SourceItem& item : section.items) {
        if (item.key != kSourceHeading) byKey[item.key].push_back(&item);
    }
    for (const auto& [key, items] : byKey) {
        if (key == expected.repeatedKey || items.size() < 2) continue;
        faults.Add(items.back()->line, key,
                   "appears more than once (first on line " + std::to_string(items.front()->line) +
                       "); the later line would silently win");
    }
    if (expected.repeatedKey.empty()) return;
    std::vector<std::string> texts;
    std::string found;
    for (const SourceItem* item : byKey[expected.repeatedKey]) {
        texts.push_back(item->text);
        found += (found.empty() ? "" : ", ") + Quote(item->text);
    }
    if (texts != expected.repeatedTexts) {
        std::string want;
        for (const std::string& text : expected.repeatedTexts)
            want += (want.empty() ? "" : ", ") + Quote(text);
        faults.Add(0, expected.repeatedKey, "expected the lines " + want + " in this order, found " + found);
    }
}

void CheckAccessKeys(const std::map<std::string, const SourceItem*>& texts, Faults& faults) {
    for (const AccessKeyView& view : kAccessKeyViews) {
        std::map<long, std::string> owners;
        for (const auto& [letter, owner] : view.fixed) owners[long(letter)] = owner;
        for (const std::string& key : view.keys) {
            const auto found = texts.find(key);
            if (found == texts.end()) continue;
            long const letter = AccessKeyOf(found->second->text);
            if (letter <= 0) continue;
            auto const [owner, added] = owners.insert({letter, "ID " + key});
            if (!added) {
                faults.Add(
                    found->second->line, key,
                    "its access key " + KeyText(letter) + " is also " + owner->second + "'s in " + view.name);
            }
        }
    }
}

void CheckSection(const SourceSection& section, const SourceSection& reference,
                  const SourceExpectation& expected, Faults& faults) {
    if (section.hasHeader && section.header != expected.header) {
        faults.Add(
            1, "",
            "header is " + Quote("##=" + section.header) + ", expected " + Quote("##=" + expected.header));
    }
    const std::map<std::string, const SourceItem*> want = LastLines(reference);
    const std::map<std::string, const SourceItem*> have = LastLines(section);
    for (const SourceItem& item : section.items) {
        if (item.key != kSourceHeading && want.count(item.key) == 0) {
            faults.Add(item.line, "", "unknown key " + Quote(item.key) + " (the reference has no such line)");
        }
    }
    CheckRepeatedKey(section, expected, faults);
    CheckOrder(section, reference, expected, have, faults);
    for (const auto& [key, referenceItem] : want) {
        const auto found = have.find(key);
        if (found == have.end()) {
            faults.Add(0, key, "missing (the reference has " + Quote(referenceItem->text) + ")");
        } else {
            CheckText(*found->second, referenceItem->text, faults);
        }
    }
    for (const auto& [quoting, quoted] : kQuotedCaptions) {
        const auto outer = have.find(quoting);
        const auto inner = have.find(quoted);
        if (outer == have.end() || inner == have.end() || inner->second->text.empty()) continue;
        std::string const caption = WithoutAccessKey(inner->second->text);
        if (outer->second->text.find(caption) == std::string::npos) {
            faults.Add(outer->second->line, quoting,
                       std::string("does not name the caption of ID ") + quoted + " " + Quote(caption));
        }
    }
    CheckAccessKeys(have, faults);
}

}  // namespace

SourceExpectation ExpectationForSlot(const LanguageSlot& slot) {
    SourceExpectation expected{slot.name, "", {}};
    if (slot.repeatedKey) expected = {slot.name, slot.repeatedKey, {slot.firstText, slot.secondText}};
    return expected;
}

std::vector<std::string> CheckLanguageSources(const std::vector<LanguageSource>& languages) {
    std::vector<std::string> faults;
    std::vector<const LanguageSource*> bySlot(kLanguageSlotCount, nullptr);
    for (const LanguageSource& source : languages) {
        if (source.slot >= 0 && source.slot < kLanguageSlotCount && !bySlot[source.slot]) {
            bySlot[source.slot] = &source;
        } else {
            faults.push_back(source.fileName + ": slot " + std::to_string(source.slot) +
                             " is not one of the program's " + std::to_string(kLanguageSlotCount) +
                             " language slots (or has a second file)");
        }
    }
    for (int slot = 0; slot < kLanguageSlotCount; ++slot) {
        if (!bySlot[slot])
            faults.push_back("no file for slot " + std::to_string(slot) + ", " +
                             Quote(kLanguageSlots[slot].name));
    }
    const LanguageSource* english = bySlot[kReferenceSlot];
    if (!english) return faults;
    const SourceSection reference = ParseLanguageSource(english->fileName, english->utf8, nullptr);
    for (int slot = 0; slot < kLanguageSlotCount; ++slot) {
        if (!bySlot[slot]) continue;
        for (std::string& fault : CheckLanguageSource(bySlot[slot]->fileName, bySlot[slot]->utf8,
                                                      ExpectationForSlot(kLanguageSlots[slot]), reference))
            faults.push_back(std::move(fault));
    }
    return faults;
}

std::string WithoutAccessKey(const std::string& text) {
    size_t const at = AccessKeyAt(text);
    if (at == std::string::npos) return text;
    bool const suffix = at > 0 && text[at - 1] == '(' && at + 2 < text.size() && text[at + 2] == ')';
    return suffix ? text.substr(0, at - 1) + text.substr(at + 3) : text.substr(0, at) + text.substr(at + 1);
}

std::string QuoteSourceText(const std::string& text) {
    return Quote(text);
}

SourceSection ParseLanguageSource(const std::string& file, const std::string& bytes,
                                  std::vector<std::string>* faults) {
    Faults found(file);
    SourceSection section = ParseSource(bytes, found);
    if (faults)
        for (std::string& fault : found.Take()) faults->push_back(std::move(fault));
    return section;
}

// The line that the archive's parser keeps for each key: the later one wins.
std::map<std::string, const SourceItem*> LastLines(const SourceSection& section) {
    std::map<std::string, const SourceItem*> winners;
    for (const SourceItem& item : section.items) {
        if (item.key != kSourceHeading) winners[item.key] = &item;
    }
    return winners;
}

std::vector<std::string> CheckLanguageSource(const std::string& file, const std::string& bytes,
                                             const SourceExpectation& expected,
                                             const SourceSection& reference) {
    Faults faults(file);
    CheckBytes(bytes, faults);
    const SourceSection section = ParseSource(bytes, faults);
    CheckSection(section, reference, expected, faults);
    return faults.Take();
}
