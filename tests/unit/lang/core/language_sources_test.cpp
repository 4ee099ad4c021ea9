// The shipped language sources (res/lang/NN-name.txt) each pass the check against the English
// reference, and the check reports every kind of damage a translator could do.

#include "lang/core/language_source_check.h"

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

// Found by argument-dependent lookup, so beside the slot type's namespace.
void PrintTo(const LanguageSlot& slot, std::ostream* out) {
    *out << "slot " << slot.slot << " " << QuoteSourceText(slot.name);
}

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

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
    "100",
    "101",
    "110",
    "111",
    "112",
    "113",
    "130",
    "131",
    "132",
    "133",
    "90",
    "91",
    "92",
    "93",
    "94",
    "95",
    "96",
    "97",
};

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
const SourceSection& Reference(std::string* problem) {
    static const std::pair<SourceSection, std::string> loaded = [] {
        const LoadedSource source = LoadSlot(kReferenceSlot);
        if (!source.ok) return std::make_pair(SourceSection{}, source.problem);
        return std::make_pair(ParseLanguageSource(source.file, source.bytes, nullptr), std::string());
    }();
    *problem = loaded.second;
    return loaded.first;
}

std::string SlotTestName(const ::testing::TestParamInfo<LanguageSlot>& info) {
    std::string name =
        std::string("Slot") + (info.param.slot < 10 ? "0" : "") + std::to_string(info.param.slot) + "_";
    for (const char* c = info.param.name; *c && *c != '\t'; ++c) name += (*c == '-') ? '_' : *c;
    return name;
}

class LanguageSourceTest : public ::testing::TestWithParam<LanguageSlot> {};

TEST_P(LanguageSourceTest, MatchesReferenceSection) {
    std::string problem;
    const SourceSection& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const LoadedSource source = LoadSlot(GetParam().slot);
    ASSERT_TRUE(source.ok) << source.problem;
    for (const std::string& fault :
         CheckLanguageSource(source.file, source.bytes, ExpectationForSlot(GetParam()), reference)) {
        ADD_FAILURE() << fault;
    }
}

INSTANTIATE_TEST_SUITE_P(AllSlots, LanguageSourceTest,
                         ::testing::ValuesIn(kLanguageSlots, kLanguageSlots + kLanguageSlotCount),
                         SlotTestName);

TEST(LanguageSources, EverySlotHasExactlyOneFileAndNoOthersExist) {
    for (int i = 0; i < kLanguageSlotCount; ++i)
        ASSERT_EQ(kLanguageSlots[i].slot, i) << "slot table out of order";
    const std::map<int, std::vector<std::string>> files = SourceFiles();
    for (const auto& [slot, names] : files) {
        EXPECT_LT(slot, kLanguageSlotCount)
            << names.front() << " would add a language slot the program does not know";
        EXPECT_EQ(names.size(), 1u) << "slot " << slot << " has " << names.size() << " source files, e.g. "
                                    << names.back();
    }
    for (int slot = 0; slot < kLanguageSlotCount; ++slot)
        EXPECT_EQ(files.count(slot), 1u) << "no source file for slot " << slot;
}

// What the packer checks before it writes the archive: the shipped sources pass, and a file for a
// slot the program does not know or a known slot without a file is reported.
TEST(LanguageSources, PackerCheckPassesTheShippedSourcesAndCountsTheSlots) {
    ArchiveSources sources;
    std::string error;
    ASSERT_TRUE(ReadArchiveSources(LanguageDir().string(), &sources, &error)) << error;
    for (const std::string& fault : CheckLanguageSources(sources.languages)) ADD_FAILURE() << fault;

    std::vector<LanguageSource> languages = sources.languages;
    languages.erase(languages.begin() + 5);
    languages.push_back({40, "40-extra.txt", languages[1].utf8});
    const std::vector<std::string> faults = CheckLanguageSources(languages);
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0],
              "40-extra.txt: slot 40 is not one of the program's 35 language slots (or has a second file)");
    EXPECT_EQ(faults[1], "no file for slot 5, \"Russian\\tРусский\"");
}

// The translations are measured against English, so English itself must hold
// the full set of shipped lines, one heading, and the captions its help names.
TEST(LanguageSources, ReferenceCarriesEveryShippedLine) {
    std::string problem;
    const SourceSection& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    std::vector<std::string> keys;
    size_t headings = 0;
    for (const SourceItem& item : reference.items) {
        if (item.key == kSourceHeading) {
            ++headings;
        } else {
            keys.push_back(item.key);
        }
    }
    EXPECT_EQ(keys, std::vector<std::string>(std::begin(kShippedKeys), std::end(kShippedKeys)));
    EXPECT_EQ(headings, 1u);
    const std::map<std::string, const SourceItem*> texts = LastLines(reference);
    for (const auto& [quoting, quoted] : kQuotedCaptions) {
        ASSERT_TRUE(texts.count(quoting) && texts.count(quoted));
        EXPECT_NE(texts.at(quoting)->text.find(WithoutAccessKey(texts.at(quoted)->text)), std::string::npos)
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
    {"EmptyText", "20=E&xit\n", "20=\n", false, false, "ID 20", "empty"},
    {"UnknownKey", "20=E&xit\n", "20=E&xit\n99=Extra\n", false, false, "\"99\"", "unknown key"},
    {"KeyWithLeadingSpace", "40=? &Pixel ?", " 40=? &Pixel ?", false, false, "\" 40\"", "unknown key"},
    {"SeparatorInText", "54=I want more", "54=I want ## more", false, false, ":24:", "\"##\""},
    {"CrLfLineEnds", "\n", "\r\n", true, false, "CR", ":1:"},
    {"ByteOrderMark", "##=", "\xEF\xBB\xBF##=", false, false, "BOM", ":1:"},
    {"InvalidUtf8", "20=E&xit", "20=E&x\xC3it", false, false, "invalid UTF-8", ":4:"},
    {"OverlongUtf8", "20=E&xit", "20=E&xit\xC0\xAF", false, false, "invalid UTF-8", ":4:"},
    {"EncodedSurrogate", "20=E&xit", "20=E&xit\xED\xA0\x80", false, false, "invalid UTF-8", ":4:"},
    {"DoubleEncoded", "20=E&xit", "20=E&xit \xC3\x83\xC2\xA9", false, false, "double-encoded", ":4:"},
    {"NoFinalNewline", "97=-Portable\n", "97=-Portable", false, false, "newline", "english"},
    {"BlankLine", "20=E&xit\n", "20=E&xit\n\n", false, false, "no '='", ":5:"},
    {"TabInText", "20=E&xit", "20=E&x\tit", false, false, "control character 9", ":4:"},
    {"WrongHeader", "##=English\tEnglisch", "##=English\tEnglish", false, false, "header",
     "\"##=English\\tEnglisch\""},
    {"TranslatorUrlMissing", "TranslatorURL=https://www.vantorel.com/?seite=translate\n", "", false, false,
     "TranslatorURL", "missing"},
    {"TranslatorUrlNotAnAddress", "TranslatorURL=https://", "TranslatorURL=www ", false, false,
     "TranslatorURL", "https"},
    {"DuplicateKey", "20=E&xit\n", "20=E&xit\n20=&Quit\n", false, false, "ID 20", "more than once"},
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
    {"StrayMnemonic", "25=Donate", "25=Do&nate", false, false, "ID 25", "mnemonic"},
    {"AccessKeysCollide", "28=&More", "28=Mo&re", false, false, "ID 52", "\"R\" is also ID 28's"},
    {"AccessKeyOfTheProductName", "30=Start with &Windows", "30=Start wit&h Windows", false, false, "ID 30",
     "&Huepeek"},
    {"AccessKeyOfTheWinBox", "31=&Always start minimized", "31=Always start mi&nimized", false, false,
     "ID 31", "Wi&n"},
    {"AccessKeyOnABlank", "54=I want more &freeware", "54=I want more& freeware", false, false, "ID 54",
     "no letter"},
    {"TrailingSpaceLost", "52=&Recommend the program \n", "52=&Recommend the program\n", false, false,
     "ID 52", "end in a space"},
    {"StrayTrailingSpace", "20=E&xit\n", "20=E&xit \n", false, false, "ID 20", "ends in a space"},
    {"ListMarkerLost", "93=-Very", "93=Very", false, false, "ID 93", "'-'"},
    {"HelpNoLongerNamesTrayButton", "(To-Tray)", "(tray)", false, false, "ID 47", "ID 51"},
    {"HotKeyNoteLosesItsCombination", "101=%s is in use", "101=It is in use", false, false, "ID 101",
     "\"%s\""},
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

SourceExpectation ReferenceExpectation(bool germanCancelLines) {
    SourceExpectation expected = ExpectationForSlot(kLanguageSlots[germanCancelLines ? 0 : kReferenceSlot]);
    expected.header = kLanguageSlots[kReferenceSlot].name;
    return expected;
}

std::string ReferenceBytes() {
    const LoadedSource source = LoadSlot(kReferenceSlot);
    return source.ok ? source.bytes : std::string();
}

TEST(LanguageSourceCheck, UnchangedReferencePasses) {
    std::string problem;
    const SourceSection& reference = Reference(&problem);
    ASSERT_TRUE(problem.empty()) << problem;
    const std::vector<std::string> faults =
        CheckLanguageSource("english", ReferenceBytes(), ReferenceExpectation(false), reference);
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

TEST(LanguageSourceCheck, GermanCancelLinesInOrderPass) {
    std::string problem;
    const SourceSection& reference = Reference(&problem);
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
    const SourceSection& reference = Reference(&problem);
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
    const SourceSection& reference = Reference(&problem);
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
                                     << QuoteSourceText(bytes.substr(0, 20));
    }
}

}  // namespace
