// Checks the readable sources of the language archive (res/lang/NN-name.txt)
// against the English reference section. The program substitutes
// placeholders, expands escapes and shows key names verbatim, and a lost or
// doubled one fails silently at run time (an unfilled "#AP#" in a mail, a
// "##" that splits a section in two), so every translation is held to the
// reference here, before the packer turns the files into the archive.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#ifndef HUEPEEK_SOURCE_DIR
#define HUEPEEK_SOURCE_DIR "."
#endif

// The slot names below are compared byte for byte with UTF-8 files.
static_assert(sizeof("한") == 4, "this file must be compiled with a UTF-8 execution character set");

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct SlotCase {
    int slot;
    const char* name;         // the header text after "##=", tab included
    const char* repeatedKey;  // the one key that may occur twice (the later line wins), or nullptr
    const char* firstText;    // the repeated key's texts, in file order
    const char* secondText;
};

// Slot numbers are stored as the "lng" setting and the names appear in the
// language menu as they stand, so both are frozen. German keeps its historic
// pair of 21 lines; the parser lets the second one ("Abbruch") win.
const SlotCase kSlots[] = {
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

const int kSlotCount = static_cast<int>(sizeof(kSlots) / sizeof(kSlots[0]));
const int kReferenceSlot = 1;

// Every language section of the shipped archive carries exactly these lines.
const char* const kShippedKeys[] = {
    "TranslatorName",
    "TranslatorURL",
    "20",
    "21",
    "22",
    "25",
    "26",
    "27",
    "28",
    "30",
    "31",
    "40",
    "41",
    "42",
    "43",
    "44",
    "45",
    "46",
    "47",
    "51",
    "52",
    "53",
    "54",
    "55",
    "56",
    "60",
    "61",
    "62",
    "90",
    "91",
    "92",
    "93",
    "94",
    "95",
    "96",
    "97",
};

// Texts the program or the user relies on verbatim: placeholders replaced in
// the mail, the escapes expanded there, key names and colour forms that
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
};

const char* const kPlaceholders[] = {"#AP#", "#IN#", "#DL#"};

// The usage help (47) names the picker button (40) and the tray button (51)
// by their captions, so it has to follow their translations.
const std::pair<const char*, const char*> kQuotedCaptions[] = {{"47", "40"}, {"47", "51"}};

const char kHeadingToken[] = "[heading]";

struct Expectation {
    std::string header;
    std::string repeatedKey;
    std::vector<std::string> repeatedTexts;
};

struct Item {
    std::string key;  // kHeadingToken for a heading line
    std::string text;
    int line;
};

struct Section {
    std::string header;
    bool hasHeader = false;
    std::vector<Item> items;  // key lines and headings in file order
};

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

// Decodes one code point; false for any ill-formed sequence (overlong forms,
// surrogates and values above U+10FFFF included).
bool NextCodePoint(const std::string& s, size_t* at, char32_t* cp) {
    unsigned char lead = static_cast<unsigned char>(s[*at]);
    if (lead < 0x80) {
        *cp = lead;
        ++*at;
        return true;
    }
    size_t length;
    char32_t value;
    char32_t smallest;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        smallest = 0x10000;
    } else {
        return false;
    }
    if (s.size() - *at < length) return false;
    for (size_t k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(s[*at + k]);
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    *cp = value;
    *at += length;
    return true;
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
        if (!NextCodePoint(bytes, &at, &cp)) {
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

Section ParseSection(const std::string& bytes, Faults& faults) {
    Section section;
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
            section.items.push_back({kHeadingToken, text, number});
        } else {
            faults.Add(number, "", "line has no '=' and is not a [heading]: " + Quote(text));
        }
    }
    return section;
}

// The line that the archive's parser keeps for each key: the later one wins.
std::map<std::string, const Item*> Winners(const Section& section) {
    std::map<std::string, const Item*> winners;
    for (const Item& item : section.items) {
        if (item.key != kHeadingToken) winners[item.key] = &item;
    }
    return winners;
}

void CheckOrder(const Section& section, const Section& reference, const Expectation& expected,
                const std::map<std::string, const Item*>& winners, Faults& faults) {
    std::vector<const Item*> order;
    for (const Item& item : section.items) {
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

void CheckEscapeLayout(const Item& item, const std::string& referenceText, Faults& faults) {
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

void CheckText(const Item& item, const std::string& want, Faults& faults) {
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

void CheckRepeatedKey(const Section& section, const Expectation& expected, Faults& faults) {
    std::map<std::string, std::vector<const Item*>> byKey;
    for (const Item& item : section.items) {
        if (item.key != kHeadingToken) byKey[item.key].push_back(&item);
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
    for (const Item* item : byKey[expected.repeatedKey]) {
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

void CheckSection(const Section& section, const Section& reference, const Expectation& expected,
                  Faults& faults) {
    if (section.hasHeader && section.header != expected.header) {
        faults.Add(
            1, "",
            "header is " + Quote("##=" + section.header) + ", expected " + Quote("##=" + expected.header));
    }
    const std::map<std::string, const Item*> want = Winners(reference);
    const std::map<std::string, const Item*> have = Winners(section);
    for (const Item& item : section.items) {
        if (item.key != kHeadingToken && want.count(item.key) == 0) {
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
        if (outer->second->text.find(inner->second->text) == std::string::npos) {
            faults.Add(
                outer->second->line, quoting,
                std::string("does not name the caption of ID ") + quoted + " " + Quote(inner->second->text));
        }
    }
}

std::vector<std::string> CheckLanguageSource(const std::string& file, const std::string& bytes,
                                             const Expectation& expected, const Section& reference) {
    Faults faults(file);
    CheckBytes(bytes, faults);
    const Section section = ParseSection(bytes, faults);
    CheckSection(section, reference, expected, faults);
    return faults.Take();
}

Expectation ExpectationFor(const SlotCase& slot) {
    Expectation expected{slot.name, "", {}};
    if (slot.repeatedKey) expected = {slot.name, slot.repeatedKey, {slot.firstText, slot.secondText}};
    return expected;
}

fs::path LanguageDir() {
    return fs::path(HUEPEEK_SOURCE_DIR) / "res" / "lang";
}

bool ReadBytes(const fs::path& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *bytes = buffer.str();
    return true;
}

// Source files by slot number: "NN-anything.txt".
std::map<int, std::vector<std::string>> SourceFiles() {
    std::map<int, std::vector<std::string>> files;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(LanguageDir(), error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 8 || name.compare(name.size() - 4, 4, ".txt") != 0) continue;
        if (name[0] < '0' || name[0] > '9' || name[1] < '0' || name[1] > '9' || name[2] != '-') continue;
        files[(name[0] - '0') * 10 + (name[1] - '0')].push_back(name);
    }
    return files;
}

struct LoadedSource {
    bool ok = false;
    std::string problem;
    std::string file;
    std::string bytes;
};

LoadedSource LoadSlot(int slot) {
    LoadedSource source;
    const auto files = SourceFiles();
    const auto found = files.find(slot);
    if (found == files.end() || found->second.size() != 1) {
        source.problem = "expected exactly one source file for slot " + std::to_string(slot) + " in " +
                         LanguageDir().string();
        return source;
    }
    source.file = found->second.front();
    source.ok = ReadBytes(LanguageDir() / source.file, &source.bytes);
    if (!source.ok) source.problem = "cannot read " + (LanguageDir() / source.file).string();
    return source;
}

// The English section, parsed once; its own faults are reported by its slot's test.
const Section& Reference(std::string* problem) {
    static const std::pair<Section, std::string> loaded = [] {
        const LoadedSource source = LoadSlot(kReferenceSlot);
        if (!source.ok) return std::make_pair(Section{}, source.problem);
        Faults ignored(source.file);
        return std::make_pair(ParseSection(source.bytes, ignored), std::string());
    }();
    *problem = loaded.second;
    return loaded.first;
}

void PrintTo(const SlotCase& slot, std::ostream* out) {
    *out << "slot " << slot.slot << " " << Quote(slot.name);
}

std::string SlotTestName(const ::testing::TestParamInfo<SlotCase>& info) {
    std::string name =
        std::string("Slot") + (info.param.slot < 10 ? "0" : "") + std::to_string(info.param.slot) + "_";
    for (const char* c = info.param.name; *c && *c != '\t'; ++c) name += (*c == '-') ? '_' : *c;
    return name;
}

class LanguageSourceTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(LanguageSourceTest, MatchesReferenceSection) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const LoadedSource source = LoadSlot(GetParam().slot);
    ASSERT_TRUE(source.ok) << source.problem;
    for (const std::string& fault :
         CheckLanguageSource(source.file, source.bytes, ExpectationFor(GetParam()), reference)) {
        ADD_FAILURE() << fault;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSlots, LanguageSourceTest, ::testing::ValuesIn(kSlots), SlotTestName);

TEST(LanguageSources, EverySlotHasExactlyOneFileAndNoOthersExist) {
    for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(kSlots[i].slot, i) << "slot table out of order";
    const std::map<int, std::vector<std::string>> files = SourceFiles();
    for (const auto& [slot, names] : files) {
        EXPECT_LT(slot, kSlotCount) << names.front()
                                    << " would add a language slot the program does not know";
        EXPECT_EQ(names.size(), 1u) << "slot " << slot << " has " << names.size() << " source files, e.g. "
                                    << names.back();
    }
    for (int slot = 0; slot < kSlotCount; ++slot)
        EXPECT_EQ(files.count(slot), 1u) << "no source file for slot " << slot;
}

// The translations are measured against English, so English itself must hold
// the full set of shipped lines, one heading, and the captions its help names.
TEST(LanguageSources, ReferenceCarriesEveryShippedLine) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    std::vector<std::string> keys;
    size_t headings = 0;
    for (const Item& item : reference.items) {
        if (item.key == kHeadingToken) {
            ++headings;
        } else {
            keys.push_back(item.key);
        }
    }
    EXPECT_EQ(keys, std::vector<std::string>(std::begin(kShippedKeys), std::end(kShippedKeys)));
    EXPECT_EQ(headings, 1u);
    const std::map<std::string, const Item*> texts = Winners(reference);
    for (const auto& [quoting, quoted] : kQuotedCaptions) {
        ASSERT_TRUE(texts.count(quoting) && texts.count(quoted));
        EXPECT_NE(texts.at(quoting)->text.find(texts.at(quoted)->text), std::string::npos)
            << quoting << " / " << quoted;
    }
}

// Each case damages the English section in memory in one way that a
// translator could, and names fragments that the report must contain.
struct Mutation {
    const char* name;
    const char* from;
    const char* to;
    bool everywhere;
    bool germanCancelLines;
    const char* reportA;
    const char* reportB;
};

void PrintTo(const Mutation& mutation, std::ostream* out) {
    *out << mutation.name;
}

const Mutation kMutations[] = {
    {"SubjectLosesProductName", "60=Juhuuuu I found #AP#!", "60=Juhuuuu I found it!", false, false, "ID 60",
     "\"#AP#\""},
    {"LacksId41", "41=do a Mouse Click\n", "", false, false, "ID 41", "missing"},
    {"EmptyText", "20=Exit\n", "20=\n", false, false, "ID 20", "empty"},
    {"UnknownKey", "20=Exit\n", "20=Exit\n99=Extra\n", false, false, "\"99\"", "unknown key"},
    {"KeyWithLeadingSpace", "40=? Pixel ?", " 40=? Pixel ?", false, false, "\" 40\"", "unknown key"},
    {"SeparatorInText", "54=I want more", "54=I want ## more", false, false, ":24:", "\"##\""},
    {"CrLfLineEnds", "\n", "\r\n", true, false, "CR", ":1:"},
    {"ByteOrderMark", "##=", "\xEF\xBB\xBF##=", false, false, "BOM", ":1:"},
    {"InvalidUtf8", "20=Exit", "20=Ex\xC3it", false, false, "invalid UTF-8", ":4:"},
    {"OverlongUtf8", "20=Exit", "20=Exit\xC0\xAF", false, false, "invalid UTF-8", ":4:"},
    {"EncodedSurrogate", "20=Exit", "20=Exit\xED\xA0\x80", false, false, "invalid UTF-8", ":4:"},
    {"DoubleEncoded", "20=Exit", "20=Exit \xC3\x83\xC2\xA9", false, false, "double-encoded", ":4:"},
    {"NoFinalNewline", "97=-Portable\n", "97=-Portable", false, false, "newline", "english"},
    {"BlankLine", "20=Exit\n", "20=Exit\n\n", false, false, "no '='", ":5:"},
    {"TabInText", "20=Exit", "20=Ex\tit", false, false, "control character 9", ":4:"},
    {"WrongHeader", "##=English\tEnglisch", "##=English\tEnglish", false, false, "header",
     "\"##=English\\tEnglisch\""},
    {"TranslatorUrlMissing", "TranslatorURL=https://www.vantorel.com/?seite=translate\n", "", false, false,
     "TranslatorURL", "missing"},
    {"TranslatorUrlNotAnAddress", "TranslatorURL=https://", "TranslatorURL=www ", false, false,
     "TranslatorURL", "https"},
    {"DuplicateKey", "20=Exit\n", "20=Exit\n20=Quit\n", false, false, "ID 20", "more than once"},
    {"HeadingMissing", "[Info]\n", "", false, false, "[heading]", "order"},
    {"LinesSwapped", "25=Donate\n26=Program\n", "26=Program\n25=Donate\n", false, false, "order", "\"25\""},
    {"MailTextLosesEscape", "I found #AP# . \\r\\n", "I found #AP# . ", false, false, "ID 61", "\"\\r\\n\""},
    {"LoneEscapeAdded", "91=But even", "91=\\nBut even", false, false, "ID 91", "\"\\n\""},
    {"RuleLineChanged", "\\r\\n .....................................\\r\\n", "\\r\\n -----\\r\\n", false,
     false, "ID 61", "must stay"},
    {"PlaceholderMovedToAnotherLine",
     "I found #AP# . \\r\\n \\r\\n .....................................\\r\\n \\r\\n website: #IN#\\r\\n",
     "I found it . \\r\\n \\r\\n .....................................\\r\\n \\r\\n website: #IN# #AP#\\r\\n",
     false, false, "ID 61", "layout"},
    {"DownloadQueryTranslated", "#IN#?Download=#AP#", "#IN#?Herunterladen=#AP#", false, false, "ID 61",
     "\"#IN#?Download=#AP#\""},
    {"KeyNameTranslated", "key [1] to copy", "key (1) to copy", false, false, "ID 43", "\"[1]\""},
    {"RgbaFormShortened", "copy the #RRGGBBAA", "copy the #RRGGBB", false, false, "ID 44", "\"#RRGGBBAA\""},
    {"ColourFormDropped", "copy the RR,GG,BB to", "copy the values to", false, false, "ID 45",
     "\"RR,GG,BB\""},
    {"MnemonicLost", "62=&Esc", "62=Esc", false, false, "ID 62", "mnemonic"},
    {"StrayMnemonic", "20=Exit", "20=E&xit", false, false, "ID 20", "mnemonic"},
    {"TrailingSpaceLost", "52=Recommend the program \n", "52=Recommend the program\n", false, false, "ID 52",
     "end in a space"},
    {"StrayTrailingSpace", "20=Exit\n", "20=Exit \n", false, false, "ID 20", "ends in a space"},
    {"ListMarkerLost", "93=-Very", "93=Very", false, false, "ID 93", "'-'"},
    {"HelpNoLongerNamesTrayButton", "(To-Tray)", "(tray)", false, false, "ID 47", "ID 51"},
    {"GermanCancelLinesSwapped", "21=Cancel\n", "21=Abbruch\n21=Farbe Speichern\n", false, true, "ID 21",
     "in this order"},
    {"GermanLacksFirstCancelLine", "21=Cancel\n", "21=Abbruch\n", false, true, "ID 21",
     "\"Farbe Speichern\""},
};

std::string Mutate(const std::string& text, const Mutation& mutation) {
    std::string out = text;
    const std::string from = mutation.from;
    for (size_t at = out.find(from); at != std::string::npos;) {
        out.replace(at, from.size(), mutation.to);
        if (!mutation.everywhere) break;
        at = out.find(from, at + std::string(mutation.to).size());
    }
    return out;
}

Expectation ReferenceExpectation(bool germanCancelLines) {
    Expectation expected = ExpectationFor(kSlots[germanCancelLines ? 0 : kReferenceSlot]);
    expected.header = kSlots[kReferenceSlot].name;
    return expected;
}

std::string ReferenceBytes() {
    const LoadedSource source = LoadSlot(kReferenceSlot);
    return source.ok ? source.bytes : std::string();
}

TEST(LanguageSourceCheck, UnchangedReferencePasses) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const std::vector<std::string> faults =
        CheckLanguageSource("english", ReferenceBytes(), ReferenceExpectation(false), reference);
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

TEST(LanguageSourceCheck, GermanCancelLinesInOrderPass) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const Mutation inOrder{"", "21=Cancel\n", "21=Farbe Speichern\n21=Abbruch\n", false, true, "", ""};
    const std::string bytes = Mutate(ReferenceBytes(), inOrder);
    ASSERT_NE(bytes, ReferenceBytes());
    for (const std::string& fault :
         CheckLanguageSource("english", bytes, ReferenceExpectation(true), reference)) {
        ADD_FAILURE() << fault;
    }
}

class LanguageSourceMutationTest : public ::testing::TestWithParam<Mutation> {};

TEST_P(LanguageSourceMutationTest, IsReported) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const Mutation& mutation = GetParam();
    const std::string bytes = Mutate(ReferenceBytes(), mutation);
    ASSERT_NE(bytes, ReferenceBytes()) << "the damage did not apply; has the English section changed?";
    const std::vector<std::string> faults =
        CheckLanguageSource("english", bytes, ReferenceExpectation(mutation.germanCancelLines), reference);
    bool reported = false;
    std::string all;
    for (const std::string& fault : faults) {
        reported |= fault.find(mutation.reportA) != std::string::npos &&
                    fault.find(mutation.reportB) != std::string::npos;
        all += "\n  " + fault;
    }
    EXPECT_TRUE(reported) << "no fault mentions " << mutation.reportA << " and " << mutation.reportB
                          << "; got:" << all;
}

INSTANTIATE_TEST_SUITE_P(Damages, LanguageSourceMutationTest, ::testing::ValuesIn(kMutations),
                         [](const ::testing::TestParamInfo<Mutation>& info) {
                             return std::string(info.param.name);
                         });

// Inputs no translator would write; the check must report them, not crash or hang.
TEST(LanguageSourceCheck, HostileBytesAreReportedWithoutCrashing) {
    std::string problem;
    const Section& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const std::string hostile[] = {
        std::string(),
        "\n",
        "##",
        "=",
        "##=\n=\n",
        "\xFF\xFE#\0#\0=\0"s,
        "[\n]\n[]\n",
        std::string(100000, '#'),
        std::string(100000, '='),
        "##=English\tEnglisch\n" + std::string(70000, 'x') + "=\n",
        "\xF4\x90\x80\x80\n",
        "\xE2\x82",
        "##=English\tEnglisch\n61=\\r\\n\\r\\n\\r\\n\\r\\n\\r\\n\\r\\n\\r\\n\\r\\n\\r\\n\n",
        "##=English\tEnglisch\n2147483648=x\n-1=x\n0=x\n",
    };
    for (const std::string& bytes : hostile) {
        const std::vector<std::string> faults =
            CheckLanguageSource("hostile", bytes, ReferenceExpectation(false), reference);
        EXPECT_FALSE(faults.empty()) << "accepted " << bytes.size() << " hostile bytes starting "
                                     << Quote(bytes.substr(0, 20));
    }
}

}  // namespace
