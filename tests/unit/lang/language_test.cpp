// The language object on the exe built beside the tests: of the archive it keeps only the slot in
// force and the reference slot, and decodes the archive again when the slot changes. Every change
// must give the texts of the whole archive; a file without an intact archive must leave the texts,
// and the archive they are decoded from, as they were.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "lang/core/language_archive.h"
#include "lang/core/string_lookup.h"
#include "lang/string_table.h"

namespace {

// The whole archive of an exe's bytes, decoded and parsed the way the loader does it once.
struct WholeArchive {
    std::vector<char16_t> text;
    std::unique_ptr<LanguageArchive> archive = std::make_unique<LanguageArchive>();
    std::unique_ptr<PlaceholderStore> placeholders = std::make_unique<PlaceholderStore>();

    bool Load(const std::vector<BYTE>& exe) {
        ArchiveLocation where;
        if (!LocateArchive(exe.data(), exe.size(), &where)) return false;
        text.assign(where.declaredSize / 2 + 6, 0);  // declared size + 10 bytes
        if (!DecodeArchive(exe.data(), where, reinterpret_cast<uint8_t*>(text.data()))) return false;
        LoadArchiveText(text.data(), where.declaredSize / 2, archive.get());
        return true;
    }
    std::u16string Text(int slot, int id) {
        return LookupText(*archive, slot, false, nullptr, id, placeholders.get());
    }
};

std::u16string Str(const char16_t* text) {
    return text ? std::u16string(text) : u"<null>";
}

class LanguageTest : public testing::Test {
  protected:
    void SetUp() override {
        exe_ = e2e::ReadFileBytes(e2e::HuepeekPath());
        ASSERT_TRUE(whole_.Load(exe_));
        ASSERT_GT(whole_.archive->languageCount, 5);
    }

    // Every text of slot, every slot's name and percentage, and the product strings.
    void ExpectTextsOf(Language& language, int slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        EXPECT_EQ(slot, language.Slot());
        for (int id = 0; id < kStringIdCount; id++)
            EXPECT_EQ(Str(language.Text(id)), whole_.Text(slot, id)) << "ID " << id;
        LanguageArchive const& kept = language.Archive();
        ASSERT_EQ(kept.languageCount, whole_.archive->languageCount);
        for (int s = 0; s < kept.languageCount; s++) {
            EXPECT_EQ(Str(kept.slotName[s]), Str(whole_.archive->slotName[s])) << "slot name " << s;
            EXPECT_EQ(kept.percent[s], whole_.archive->percent[s]) << "percentage " << s;
        }
        for (int key = 0; key < kProductKeyCount; key++)
            EXPECT_EQ(Str(ProductString(kept, key)), Str(ProductString(*whole_.archive, key)))
                << "product " << key;
        EXPECT_EQ(Str(kept.referenceCopy), Str(whole_.archive->referenceCopy));
    }

    std::vector<BYTE> exe_;
    WholeArchive whole_;
};

TEST_F(LanguageTest, EveryChangeOfSlotGivesTheTextsOfTheWholeArchive) {
    auto language = std::make_unique<Language>();
    language->Use(5);  // chosen before the archive is loaded, as at start
    ASSERT_TRUE(language->LoadArchive(e2e::HuepeekPath().c_str()));
    ExpectTextsOf(*language, 5);
    int const count = whole_.archive->languageCount;
    std::vector<int> slots;
    for (int slot = 0; slot < count; slot++) slots.push_back(slot);
    // Outside the slots, English; then back to a translation, and the same slot twice.
    for (int slot : {count, kMaxLanguageSlots, -1, 0, count - 2, count - 2, kReferenceSlot, 3})
        slots.push_back(slot);
    for (int slot : slots) {
        language->Use(slot);
        ExpectTextsOf(*language, slot);
    }
}

// Files that hold no intact archive are refused, and the language goes on with the exe loaded before:
// its texts stay, and a later change of slot still decodes from it.
TEST_F(LanguageTest, FileWithoutAnIntactArchiveLeavesTheTextsAsTheyWere) {
    std::string const start = "\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n";
    std::string const end = "\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n";
    auto find = [this](const std::string& marker) {
        return size_t(std::search(exe_.begin(), exe_.end(), marker.begin(), marker.end()) - exe_.begin());
    };
    size_t const payload = find(start) + start.size();
    size_t const checksum = find(end) + end.size();
    ASSERT_LT(payload, checksum);
    ASSERT_LE(checksum + 4, exe_.size());
    auto cut = [this](size_t size) {
        return std::vector<BYTE>(exe_.begin(), exe_.begin() + ptrdiff_t(size));
    };
    auto changed = [this](size_t at, BYTE flip) {
        std::vector<BYTE> bytes = exe_;
        bytes[at] ^= flip;
        return bytes;
    };
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
    };
    Case const cases[] = {
        {"an empty file", {}},
        {"the start marker the last bytes", cut(payload)},
        {"cut in the stream", cut(payload + 200)},
        {"cut after the end marker: no checksum", cut(checksum)},
        {"cut in the checksum", cut(checksum + 3)},
        {"a changed byte in the stream", changed(payload + 200, 0x10)},
        {"a declared size above the limit", changed(payload + 3, 0x40)},
        {"a changed checksum", changed(checksum + 1, 0x01)},
    };
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring const path = std::wstring(temp) + L"huepeek_damaged_archive.exe";

    auto language = std::make_unique<Language>();
    language->Use(0);
    ASSERT_TRUE(language->LoadArchive(e2e::HuepeekPath().c_str()));
    EXPECT_FALSE(language->LoadArchive((path + L".missing").c_str())) << "a file that is not there";
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(e2e::WriteFileBytes(path, c.bytes));
        EXPECT_FALSE(language->LoadArchive(path.c_str()));
        ExpectTextsOf(*language, 0);
    }
    DeleteFileW(path.c_str());
    language->Use(3);
    ExpectTextsOf(*language, 3);
}

}  // namespace
