#pragma once

// Checks a readable language source (res/lang/NN-name.txt: UTF-8, LF line ends, a "##=" header,
// "key=text" lines and [headings]) against the English reference source. The program substitutes
// placeholders, expands escapes and shows key names verbatim, and a lost or doubled one fails
// silently at run time (an unfilled "#AP#" in a mail, a "##" that splits a section in two), so
// every translation is held to the reference before the packer turns the files into the archive.
// Build time and tests only: the exe never links it.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lang/core/archive_builder.h"

extern const char kSourceHeading[];  // the key of a [heading] line

struct SourceItem {
    std::string key;  // kSourceHeading for a heading line
    std::string text;
    int line;
};

struct SourceSection {
    std::string header;
    bool hasHeader = false;
    std::vector<SourceItem> items;  // key lines and headings in file order
};

// What one slot's source must hold beyond the reference's lines.
struct SourceExpectation {
    std::string header;       // the text after "##=", tab included
    std::string repeatedKey;  // the one key that may occur twice (the later line wins), or empty
    std::vector<std::string> repeatedTexts;
};

// The language slots of the shipped archive, in slot order. A slot's number is stored as the "lng"
// setting and its name stands in the language menu, so both are frozen. German has two lines with
// key 21; the parser lets the second one ("Abbruch") win.
struct LanguageSlot {
    int slot;
    const char* name;         // the header text after "##=", tab included
    const char* repeatedKey;  // the one key that may occur twice (the later line wins), or nullptr
    const char* firstText;    // the repeated key's texts, in file order
    const char* secondText;
};
extern const LanguageSlot kLanguageSlots[];
extern const int kLanguageSlotCount;

SourceExpectation ExpectationForSlot(const LanguageSlot& slot);

// The usage help (47) names the picker button (40) and the tray button (51) by their captions (as
// shown, without their access keys), so it has to follow their translations.
extern const std::pair<const char*, const char*> kQuotedCaptions[2];

// The texts that one window shows at once, each with an access key ("&"): no two of them may mark
// the same letter, or the key reaches only the first. Beside them stand texts of the dialog
// templates that no language changes: the picker page's button "&Huepeek" and the hot key's box
// "Wi&n".
struct AccessKeyView {
    const char* name;
    std::vector<std::string> keys;
    std::vector<std::pair<char, const char*>> fixed;
};
extern const AccessKeyView kAccessKeyViews[2];

// A text as a title shows it: without its access key ("&" before a letter, or a "(&X)" that East
// Asian texts put after their words); "&&" stays.
std::string WithoutAccessKey(const std::string& text);

// Splits a source into its items; faults of the line format are added to faults (if not null),
// each prefixed with the file name and line.
SourceSection ParseLanguageSource(const std::string& file, const std::string& bytes,
                                  std::vector<std::string>* faults);

// The line that the archive's parser keeps for each key: the later one wins.
std::map<std::string, const SourceItem*> LastLines(const SourceSection& section);

// Every fault of the source, each as "file:line: ID n: what"; empty when it may be packed.
std::vector<std::string> CheckLanguageSource(const std::string& file, const std::string& bytes,
                                             const SourceExpectation& expected,
                                             const SourceSection& reference);

// Every fault of a set of language sources, as the packer reports them before it writes the archive:
// each file against the reference (slot 1) and its slot's expectation, a file for a slot the
// program does not know, and a known slot without a file.
std::vector<std::string> CheckLanguageSources(const std::vector<LanguageSource>& languages);

// A text as it appears in fault messages: quoted, with tab and CR made visible.
std::string QuoteSourceText(const std::string& text);
