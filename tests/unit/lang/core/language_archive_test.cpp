#include "lang/core/language_archive.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "lang/core/archive_builder.h"
#include "lang/core/lzari_encode.h"
#include "lang/core/string_lookup.h"

namespace {

// The decoded text with exactly one spare unit behind it, as the loader's contract allows, so the
// address sanitizer catches any read past the text's end.
struct LoadedArchive {
    std::vector<char16_t> buffer;
    std::unique_ptr<LanguageArchive> archive = std::make_unique<LanguageArchive>();
};

std::unique_ptr<LoadedArchive> Load(const std::u16string& text) {
    auto loaded = std::make_unique<LoadedArchive>();
    loaded->buffer.assign(text.begin(), text.end());
    loaded->buffer.push_back(u'#');  // the spare unit; the loader must make it the terminator
    LoadArchiveText(loaded->buffer.data(), text.size(), loaded->archive.get());
    return loaded;
}

// BOM, preamble, product section, the two reserved sections; language sections follow.
std::u16string Head(const std::u16string& product = u"19=Huepeek 3.36\r\n") {
    return u"\uFEFFHuepeek\r\n##\r\n" + product + u"##\r\n##\r\n";
}

const char16_t kNull[] = u"<null>";

std::u16string Str(const char16_t* text) {
    return text ? std::u16string(text) : kNull;
}

std::u16string Number(int n) {
    std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Repeat(const std::u16string& s, int times) {
    std::u16string out;
    for (int i = 0; i < times; i++) out += s;
    return out;
}

// 48 language headers and a 49th: the 49th is ignored but still ends the 48th section.
std::u16string FortyNineHeaders() {
    std::u16string text = Head();
    for (int slot = 0; slot < 49; slot++) {
        std::u16string n = Number(slot);
        text += u"##=L" + n + u"\r\n20=t" + n + u"\r\n";
    }
    return text;
}

struct TextCase {
    const char* name;
    std::u16string text;
    int slot;  // -1: a product string
    int key;
    const char16_t* expected;  // nullptr: no entry
};

std::vector<TextCase> TextCases() {
    const std::u16string english = u"##=English\tEnglisch\r\n";
    return {
        {"translator URL after name is ID 0",
         Head() + english + u"TranslatorName=Ann\r\nTranslatorURL=https://a.example\r\n", 0, 0,
         u"https://a.example"},
        // The German section once shipped both lines; the second is the text.
        {"duplicate key: later wins", Head() + english + u"21=Farbe Speichern\r\n21=Abbruch\r\n", 0, 21,
         u"Abbruch"},
        {"escapes stay in a language section", Head() + english + u"61=a\\r\\nb\r\n", 0, 61, u"a\\r\\nb"},
        {"escapes expand in a product string", Head(u"25=a\\r\\nb\\r\\n\r\n"), -1, 25, u"a\r\nb\r\n"},
        {"other backslashes stay in a product string", Head(u"22=a\\tb\\\\rc\\\r\n"), -1, 22,
         u"a\\tb\\\rc\\"},
        {"product key 0", Head(u"0=zero\r\n127=last\r\n128=over\r\n-1=neg\r\n-128=neg\r\n"), -1, 0, u"zero"},
        {"product key 127", Head(u"0=zero\r\n127=last\r\n128=over\r\n-1=neg\r\n255=over\r\n"), -1, 127,
         u"last"},
        {"language key 254", Head() + english + u"254=top\r\n255=over\r\n-1=neg\r\n509=over\r\n", 0, 254,
         u"top"},
        {"language key 255 is not key 0", Head() + english + u"255=over\r\n", 0, 0, nullptr},
        {"space before the key", Head() + english + u" 40=forty\r\n", 0, 40, u"forty"},
        {"key stops at a letter", Head() + english + u"4a0=four\r\n", 0, 4, u"four"},
        {"key stops at a letter: 40 untouched", Head() + english + u"4a0=four\r\n", 0, 40, nullptr},
        {"empty value is present", Head() + english + u"55=\r\n", 0, 55, u""},
        {"text may hold =", Head() + english + u"20=a=b\r\n", 0, 20, u"a=b"},
        {"heading without = is ignored", Head() + english + u"[Info]\r\n", 0, 0, nullptr},
        {"last line without line feed is lost", Head() + english + u"20=a\r\n21=b", 0, 21, nullptr},
        {"line before the unterminated one stays", Head() + english + u"20=a\r\n21=b", 0, 20, u"a"},
        {"line feed alone ends a line", Head() + english + u"20=a\n21=b\n", 0, 21, u"b"},
        {"## in a text line ends the section there", Head() + english + u"20=a##b\r\n21=c\r\n", 0, 20,
         nullptr},
        {"## in a text line opens the next slot", Head() + english + u"20=a##b\r\n21=c\r\n", 1, 21, u"c"},
        {"## line opens a nameless slot", Head() + english + u"20=a\r\n##\r\n20=b\r\n##=C\r\n20=c\r\n", 1, 20,
         u"b"},
        {"slot after a nameless slot", Head() + english + u"20=a\r\n##\r\n20=b\r\n##=C\r\n20=c\r\n", 2, 20,
         u"c"},
        {"header without CR gets an empty section", Head() + u"##=English\n20=a\n", 0, 20, nullptr},
        {"48th slot ends at the 49th header", FortyNineHeaders(), 47, 20, u"t47"},
        {"product strings without separator 1", u"\uFEFF19=Huepeek\r\n", -1, 19, nullptr},
    };
}

TEST(LanguageArchive, TextsFromHandMadeArchives) {
    for (const TextCase& c : TextCases()) {
        SCOPED_TRACE(c.name);
        auto loaded = Load(c.text);
        const LanguageArchive& a = *loaded->archive;
        const char16_t* got = c.slot < 0 ? ProductString(a, c.key)
                                         : (c.slot < a.languageCount ? a.table[c.slot][c.key] : u"<no slot>");
        EXPECT_EQ(Str(got), Str(c.expected));
    }
}

struct SlotCase {
    const char* name;
    std::u16string text;
    int languageCount;
    std::vector<std::u16string> names;  // per slot; kNull: nameless
};

TEST(LanguageArchive, SlotsAndNames) {
    std::vector<std::u16string> fortyEightNames;
    for (int i = 0; i < 48; i++) fortyEightNames.push_back(u"L" + Number(i));

    const std::vector<SlotCase> cases = {
        {"empty text", u"", 0, {}},
        {"no separator at all", u"\uFEFFplain\r\n", 0, {}},
        {"only reserved sections", Head(), 0, {}},
        {"header name runs to CR, tab included",
         Head() + u"##=English\tEnglisch\r\n20=Exit\r\n",
         1,
         {u"English\tEnglisch"}},
        {"nameless ## line takes a slot", Head() + u"##=A\r\n##\r\n##=C\r\n", 3, {u"A", kNull, u"C"}},
        {"header without CR has no name", Head() + u"##=English", 1, {kNull}},
        {"trailing ## at the very end", Head() + u"##=A\r\n##", 2, {u"A", kNull}},
        {"trailing ##= at the very end", Head() + u"##=A\r\n##=", 2, {u"A", kNull}},
        {"lone # at the end is no separator", Head() + u"##=A\r\n#", 1, {u"A"}},
        {"#### is two separators", Head() + u"####", 2, {kNull, kNull}},
        // The scan goes on after the name, so a "##" inside it is part of the name.
        {"## inside a header name", Head() + u"##=A##B\r\n", 1, {u"A##B"}},
        {"49 headers give 48 slots", FortyNineHeaders(), 48, fortyEightNames},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto loaded = Load(c.text);
        const LanguageArchive& a = *loaded->archive;
        ASSERT_EQ(a.languageCount, c.languageCount);
        for (int slot = 0; slot < c.languageCount; slot++) {
            EXPECT_EQ(Str(a.slotName[slot]), c.names[slot]) << "slot " << slot;
            EXPECT_NE(a.slotSection[slot], nullptr);
        }
    }
}

// Every pointer the loader hands out must lie inside the text it was given.
TEST(LanguageArchive, PointersStayInsideTheText) {
    for (const TextCase& c : TextCases()) {
        SCOPED_TRACE(c.name);
        auto loaded = Load(c.text);
        const LanguageArchive& a = *loaded->archive;
        const char16_t* begin = loaded->buffer.data();
        const char16_t* end = begin + c.text.size();
        auto inside = [&](const char16_t* p) { return !p || (p >= begin && p <= end); };
        EXPECT_EQ(loaded->buffer.back(), u'\0');
        for (int k = 0; k < kProductKeyCount; k++) EXPECT_TRUE(inside(a.product[k]));
        for (int slot = 0; slot < a.languageCount; slot++) {
            EXPECT_TRUE(inside(a.slotSection[slot]));
            EXPECT_TRUE(inside(a.slotName[slot]));
            for (int id = 0; id < kStringIdCount; id++) EXPECT_TRUE(inside(a.table[slot][id]));
        }
    }
}

std::u16string Numbered(int from, int to, const std::u16string& value) {
    std::u16string lines;
    for (int id = from; id < to; id++) lines += Number(id) + u"=" + value + u"\r\n";
    return lines;
}

struct PercentCase {
    const char* name;
    std::u16string text;
    std::vector<int> percent;
};

TEST(LanguageArchive, CompletenessPercentages) {
    const std::vector<PercentCase> cases = {
        {"all reference texts",
         Head() + u"##=D\r\n20=a\r\n21=b\r\n##=E\r\n20=x\r\n21=y\r\n##\r\n\r\n",
         {100, 100, 0}},
        // 29 of 50 is 58 %; computing 29.0 / 50 * 100 in doubles gives 57.99999999999999.
        {"29 of 50",
         Head() + u"##=D\r\n" + Numbered(100, 129, u"d") + u"##=E\r\n" + Numbered(100, 150, u"e"),
         {58, 100}},
        {"empty text counts as missing",
         Head() + u"##=D\r\n20=a\r\n21=\r\n##=E\r\n20=x\r\n21=y\r\n",
         {50, 100}},
        {"empty reference text is not counted",
         Head() + u"##=D\r\n20=a\r\n21=b\r\n##=E\r\n20=x\r\n21=\r\n",
         {100, 100}},
        {"texts the reference lacks do not count",
         Head() + u"##=D\r\n30=a\r\n31=b\r\n##=E\r\n20=x\r\n21=y\r\n",
         {0, 100}},
        {"one slot only: no reference, 0 %", Head() + u"##=D\r\n20=a\r\n", {0}},
        {"reference without texts: 0 %", Head() + u"##=D\r\n20=a\r\n##=E\r\n[Info]\r\n", {0, 0}},
    };
    for (const PercentCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto loaded = Load(c.text);
        const LanguageArchive& a = *loaded->archive;
        ASSERT_EQ(a.languageCount, int(c.percent.size()));
        for (int slot = 0; slot < a.languageCount; slot++)
            EXPECT_EQ(a.percent[slot], c.percent[slot]) << "slot " << slot;
    }
}

TEST(LanguageArchive, ReferenceCopyIsSlotOnesRawSection) {
    auto loaded = Load(Head() + u"##=D\r\n20=a\r\n##=English\r\n20=Exit\r\n61=a\\r\\n\r\n##\r\n");
    // Taken before parsing: the line ends are still there; it starts at the header's line feed.
    EXPECT_EQ(Str(loaded->archive->referenceCopy), u"\n20=Exit\r\n61=a\\r\\n\r\n");
}

TEST(LanguageArchive, ReferenceCopyWithoutReferenceSlotIsEmpty) {
    auto loaded = Load(Head() + u"##=D\r\n20=a\r\n");
    EXPECT_EQ(Str(loaded->archive->referenceCopy), u"");
}

TEST(LanguageArchive, LongReferenceSectionKeepsWholeLines) {
    std::u16string line = u"47=" + std::u16string(90, u'x') + u"\r\n";  // 95 units
    std::u16string section = u"\n" + Repeat(line, 400);                 // far beyond the copy
    auto loaded = Load(Head() + u"##=D\r\n##=English\r" + section + u"##\r\n");
    std::u16string copy = loaded->archive->referenceCopy;
    size_t wholeLines = (kReferenceCopyChars - 2) / line.size();
    EXPECT_EQ(copy, section.substr(0, 1 + wholeLines * line.size()));
    // The copy was taken before parsing, and parsing still sees the whole section.
    EXPECT_EQ(Str(loaded->archive->table[1][47]), std::u16string(90, u'x'));
}

TEST(LanguageArchive, LongReferenceLineIsCutWithoutSplittingASurrogatePair) {
    // A nameless slot 1 whose section has no line feed at all: the copy is cut at its capacity,
    // and the pair U+1F600 that straddles the cut is dropped whole.
    std::u16string section = std::u16string(kReferenceCopyChars - 2, u'y') + u"\U0001F600" + u"tail";
    auto loaded = Load(Head() + u"##=D\r\n##\r\n" + section);
    EXPECT_EQ(Str(loaded->archive->referenceCopy), std::u16string(kReferenceCopyChars - 2, u'y'));
}

TEST(LanguageArchive, ParseSectionResetsTheTable) {
    const char16_t* table[kStringIdCount];
    for (auto& entry : table) entry = u"stale";
    ParseSection(nullptr, table);
    for (auto* entry : table) EXPECT_EQ(entry, nullptr);

    std::u16string text = u"20=a\r\n";
    for (auto& entry : table) entry = u"stale";
    ParseSection(&text[0], table);
    EXPECT_EQ(Str(table[20]), u"a");
    EXPECT_EQ(table[21], nullptr);
}

TEST(LanguageArchive, ParseSectionNeverTouchesTheUnitBeforeTheSection) {
    std::u16string buffer = u"\r\n20=a\r\n";
    const char16_t* table[kStringIdCount];
    ParseSection(&buffer[1], table);
    EXPECT_EQ(buffer[0], u'\r');
    EXPECT_EQ(Str(table[20]), u"a");
}

std::vector<uint8_t> Marker(const char* text) {
    return std::vector<uint8_t>(text, text + strlen(text));
}

const char kStart[] = "\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n";
const char kEnd[] = "\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n";

TEST(LanguageArchive, MarkersAreTheArchiveFormatsBytes) {
    uint8_t start[kStartMarkerSize];
    uint8_t end[kEndMarkerSize];
    BuildStartMarker(start);
    BuildEndMarker(end);
    EXPECT_EQ(std::vector<uint8_t>(start, start + kStartMarkerSize), Marker(kStart));
    EXPECT_EQ(std::vector<uint8_t>(end, end + kEndMarkerSize), Marker(kEnd));
}

struct FindCase {
    const char* name;
    std::string file;
    bool found;
    size_t offset;
    size_t size;
};

TEST(LanguageArchive, FindArchivePayload) {
    const std::string start = kStart;
    const std::string end = kEnd;
    const std::string startWithoutLf = start.substr(1);
    const std::vector<FindCase> cases = {
        {"plain", "MZ" + start + "PAYLOAD" + end + "tail", true, 2 + 45, 7},
        {"at the very start and end", start + "P" + end, true, 45, 1},
        {"empty payload", start + end, true, 45, 0},
        {"start marker without its line feed", "MZ" + startWithoutLf + "PAYLOAD" + end, false, 0, 0},
        {"no end marker", "MZ" + start + "PAYLOAD", false, 0, 0},
        {"no start marker", "MZ PAYLOAD" + end, false, 0, 0},
        {"end marker before the start marker", end + "x" + start + "PAYLOAD", false, 0, 0},
        // The start marker's closing line feed doubles as the end marker's opening one.
        {"end marker overlapping the start marker", start + end.substr(1), false, 0, 0},
        {"first of two archives", start + "A" + end + start + "BB" + end, true, 45, 1},
        {"end marker cut off by the file end", start + "P" + end.substr(0, 43), false, 0, 0},
        {"empty file", "", false, 0, 0},
        {"file shorter than a marker", "\n<!-", false, 0, 0},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.name);
        // An exact-size heap copy, so that a read past the end is caught.
        std::unique_ptr<uint8_t[]> file(new uint8_t[c.file.size() + 1]);
        memcpy(file.get(), c.file.data(), c.file.size());
        size_t offset = 99;
        size_t size = 99;
        EXPECT_EQ(FindArchivePayload(file.get(), c.file.size(), &offset, &size), c.found);
        if (c.found) {
            EXPECT_EQ(offset, c.offset);
            EXPECT_EQ(size, c.size);
        }
    }
    size_t offset, size;
    EXPECT_FALSE(FindArchivePayload(nullptr, 100, &offset, &size));
}

struct LocateCase {
    const char* name;
    std::string file;
    bool found;
    uint32_t declared;
    uint32_t checksum;
};

TEST(LanguageArchive, LocateArchiveReadsSizeAndChecksum) {
    const std::string start = kStart;
    const std::string end = kEnd;
    const std::string size3 = std::string("\x03\0\0\0", 4);
    const std::string huge = std::string("\x01\0\0\x01", 4);  // 16 MB and one byte
    const std::vector<LocateCase> cases = {
        {"size and checksum", "MZ" + start + size3 + "S" + end + "\x78\x56\x34\x12tail", true, 3,
         0x12345678u},
        {"empty payload with the empty text's checksum", start + end + std::string(4, '\0'), true, 0, 0},
        {"no checksum", start + size3 + end, false, 0, 0},
        {"checksum cut by the file end", start + size3 + end + "\x78\x56\x34", false, 0, 0},
        {"declared size above the limit", start + huge + end + "CRC!", false, 0, 0},
        {"no end marker", start + size3 + "CRC!", false, 0, 0},
    };
    for (const LocateCase& c : cases) {
        SCOPED_TRACE(c.name);
        // An exact-size heap copy, so that a read past the end is caught.
        std::unique_ptr<uint8_t[]> file(new uint8_t[c.file.size()]);
        memcpy(file.get(), c.file.data(), c.file.size());
        ArchiveLocation where = {};
        EXPECT_EQ(LocateArchive(file.get(), c.file.size(), &where), c.found);
        if (c.found) {
            EXPECT_EQ(where.declaredSize, c.declared);
            EXPECT_EQ(where.checksum, c.checksum);
        }
    }
}

std::u16string ShippedText() {
    ArchiveSources sources;
    std::u16string text;
    std::string error;
    EXPECT_TRUE(ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &sources, &error)) << error;
    EXPECT_TRUE(BuildArchiveText(sources, &text, &error)) << error;
    return text;
}

// The archive as the exe carries it, damaged one byte at a time: each damage is refused or, where
// the decoder never reads the byte, loads the very same text; never a mix of wrong texts.
TEST(LanguageArchive, DamagedArchiveIsRefusedOrLoadsUnchanged) {
    std::u16string const text = ShippedText();
    std::vector<uint8_t> const good = BuildArchiveBytes(text);
    std::vector<uint8_t> const textBytes = Utf16LeBytes(text);
    ArchiveLocation shipped;
    ASSERT_TRUE(LocateArchive(good.data(), good.size(), &shipped));
    size_t const stream = shipped.payloadOffset + 4;
    size_t const endMarker = shipped.payloadOffset + shipped.payloadSize;
    size_t const streamEnd = stream + LzariEncode(textBytes.data(), textBytes.size()).size() - 4;
    ASSERT_LT(streamEnd + 8, endMarker) << "the filler is shorter than this test assumes";
    enum Outcome { kRefused, kLoadsUnchanged, kEither };
    struct Damage {
        const char* where;
        size_t offset;
        Outcome outcome;
    };
    const Damage damages[] = {
        {"start marker", 10, kRefused},
        {"declared size, low byte", shipped.payloadOffset, kRefused},
        {"declared size, high byte", shipped.payloadOffset + 3, kRefused},
        {"first stream byte", stream, kRefused},
        {"early in the stream", stream + 40, kRefused},
        {"middle of the stream", (stream + streamEnd) / 2, kRefused},
        // Its last bits are the coder's flush, which the decoder may never need.
        {"last stream byte", streamEnd - 1, kEither},
        {"filler behind the look-ahead", streamEnd + 8, kLoadsUnchanged},
        {"last filler byte", endMarker - 1, kLoadsUnchanged},
        {"end marker", endMarker + 20, kRefused},
        {"checksum", good.size() - 1, kRefused},
    };
    // Refused, or the very text; returns whether it loaded.
    auto loadDamaged = [&](size_t offset, uint8_t flip) {
        std::vector<uint8_t> file = good;
        file[offset] ^= flip;
        ArchiveLocation where;
        bool loaded = LocateArchive(file.data(), file.size(), &where);
        std::vector<uint8_t> decoded(loaded ? where.declaredSize + 10 : 0);
        loaded = loaded && DecodeArchive(file.data(), where, decoded.data());
        if (loaded) {
            EXPECT_TRUE(std::equal(textBytes.begin(), textBytes.end(), decoded.begin()));
        }
        return loaded;
    };
    for (const Damage& d : damages) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            SCOPED_TRACE(testing::Message() << d.where << " at " << d.offset << " xor " << int(flip));
            bool const loaded = loadDamaged(d.offset, flip);
            if (d.outcome != kEither) {
                EXPECT_EQ(loaded, d.outcome == kLoadsUnchanged);
            }
        }
    }
    // And a sweep over the whole archive.
    for (size_t offset = 0; offset < good.size(); offset += 257) {
        SCOPED_TRACE(testing::Message() << "sweep at " << offset);
        bool const loaded = loadDamaged(offset, 0x10);
        if (offset < streamEnd - 1 || offset >= endMarker) {
            EXPECT_FALSE(loaded);
        }
    }
}

// What is kept for a slot answers every lookup of that slot as the whole archive does, and holds
// everything else the program reads (names, percentages, product strings, the reference copy), but
// no other slot's table. The kept texts' buffer is exactly the room the loader gives it, so the
// address sanitizer catches a text that would not fit.
TEST(LanguageArchive, KeptSlotAnswersAsTheWholeArchive) {
    std::u16string const handMade =
        Head(u"19=Huepeek\\r\\n3.36\r\n22=\r\n") + u"##=German\tDeutsch\r\n20=Beenden\r\n55=\r\n" +
        u"##=English\r\n20=Exit\r\n21=Cancel\r\n55=Uninstall\r\n##\r\n20=x\r\n##=Last";
    for (const std::u16string& text : {ShippedText(), FortyNineHeaders(), handMade, Head()}) {
        auto loaded = Load(text);
        const LanguageArchive& all = *loaded->archive;
        auto placeholders = std::make_unique<PlaceholderStore>();
        for (int slot = -1; slot <= all.languageCount; slot++) {
            SCOPED_TRACE("slot " + std::to_string(slot) + " of " + std::to_string(all.languageCount));
            auto kept = std::make_unique<LanguageArchive>();
            std::vector<char16_t> keptText(text.size() + 1);
            size_t const used = KeepInUse(all, slot, kept.get(), keptText.data(), keptText.size());
            EXPECT_LE(used, keptText.size());
            for (int id = -1; id <= kStringIdCount; id++) {
                std::u16string const expected =
                    Str(LookupText(all, slot, false, nullptr, id, placeholders.get()));
                EXPECT_EQ(Str(LookupText(*kept, slot, false, nullptr, id, placeholders.get())), expected)
                    << id;
            }
            EXPECT_EQ(kept->languageCount, all.languageCount);
            for (int s = 0; s < kMaxLanguageSlots; s++) {
                EXPECT_EQ(Str(kept->slotName[s]), Str(all.slotName[s]));
                EXPECT_EQ(kept->percent[s], all.percent[s]);
                if (s == slot || s == kReferenceSlot) continue;
                for (int id = 0; id < kStringIdCount; id++) EXPECT_EQ(kept->table[s][id], nullptr);
            }
            for (int key = 0; key < kProductKeyCount; key++)
                EXPECT_EQ(Str(ProductString(*kept, key)), Str(ProductString(all, key)));
            EXPECT_EQ(Str(kept->referenceCopy), Str(all.referenceCopy));
        }
    }
}

// Less room than the texts need: what does not fit is left out, and nothing is written past it.
TEST(LanguageArchive, KeptTextsNeverOverrunTheirRoom) {
    auto loaded = Load(ShippedText());
    for (size_t room : {size_t(0), size_t(1), size_t(5), size_t(300)}) {
        auto kept = std::make_unique<LanguageArchive>();
        std::vector<char16_t> keptText(room + 1, u'#');
        EXPECT_LE(KeepInUse(*loaded->archive, 0, kept.get(), keptText.data(), room), room);
        EXPECT_EQ(keptText[room], u'#') << room;
    }
}

// The whole path the exe takes, on the archive built from res/lang.
TEST(LanguageArchive, ShippedArchiveLoads) {
    ArchiveSources sources;
    std::string error;
    ASSERT_TRUE(ReadArchiveSources(HUEPEEK_SOURCE_DIR "/res/lang", &sources, &error)) << error;
    std::u16string const text = ShippedText();
    std::vector<uint8_t> file = BuildArchiveBytes(text);

    ArchiveLocation where;
    ASSERT_TRUE(LocateArchive(file.data(), file.size(), &where));
    uint32_t const declared = where.declaredSize;
    ASSERT_EQ(declared, text.size() * 2);
    std::vector<char16_t> decoded(declared / 2 + 6);  // declared size + 10 bytes, as the exe allocates
    ASSERT_TRUE(DecodeArchive(file.data(), where, reinterpret_cast<uint8_t*>(decoded.data())));
    auto archive = std::make_unique<LanguageArchive>();
    LoadArchiveText(decoded.data(), declared / 2, archive.get());
    const LanguageArchive& a = *archive;

    EXPECT_EQ(Str(ProductString(a, 19)), u"Huepeek 3.36");
    EXPECT_EQ(Str(ProductString(a, 26)), u"Version 3.36 Build 001 ");
    EXPECT_NE(Str(ProductString(a, 25)).find(u"\r\n"), std::u16string::npos);
    EXPECT_EQ(ProductString(a, 128), nullptr);
    ASSERT_GT(a.languageCount, kReferenceSlot);
    EXPECT_EQ(Str(a.slotName[kReferenceSlot]), u"English\tEnglisch");
    EXPECT_EQ(Str(a.table[kReferenceSlot][0]), u"https://www.vantorel.com/?seite=translate");
    EXPECT_EQ(Str(a.table[kReferenceSlot][20]), u"E&xit");
    EXPECT_EQ(Str(a.table[kReferenceSlot][52]), u"&Recommend the program ");
    EXPECT_EQ(a.table[kReferenceSlot][1], nullptr);
    EXPECT_EQ(a.percent[kReferenceSlot], 100);
    // The English section carries 45 texts (IDs 0, 20-22, 25-28, 30, 31, 40-47, 51-56, 60-62, 90-97,
    // 100, 101, 110-113, 130-133).
    int present = 0;
    for (int id = 0; id < kStringIdCount; id++) present += a.table[kReferenceSlot][id] != nullptr;
    EXPECT_EQ(present, 45);
    // One slot per file number, and the trailing blank lines form a last slot without name or texts.
    ASSERT_FALSE(sources.languages.empty());
    EXPECT_EQ(a.languageCount, sources.languages.back().slot + 2);
    int last = a.languageCount - 1;
    EXPECT_EQ(a.slotName[last], nullptr);
    EXPECT_EQ(a.percent[last], 0);
    EXPECT_EQ(Str(a.referenceCopy).substr(0, 11), u"\nTranslator");
}

}  // namespace
