#include "services/core/mail_text.h"

#include "base/core/bounded_text.h"
#include "base/core/text.h"

namespace {

bool StartsWith(const char16_t* text, const char16_t* prefix) {
    while (*prefix && *text == *prefix) ++text, ++prefix;
    return !*prefix;
}

// Every occurrence of token (four units) in text becomes the parts of with, in order.
bool ReplaceAll(const char16_t* text, const char16_t* token, const char16_t* const* with, size_t withCount,
                char16_t* out, size_t capacity) {
    BoundedText builder(out, capacity);
    size_t const tokenLength = TextLength(token);
    for (const char16_t* c = text ? text : u""; *c;) {
        if (StartsWith(c, token)) {
            for (size_t i = 0; i < withCount; ++i) builder.Put(with[i]);
            c += tokenLength;
        } else {
            builder.Put(*c++);
        }
    }
    return builder.Whole();
}

}  // namespace

bool CopyTextCut(const char16_t* text, char16_t* out, size_t capacity) {
    if (!out || !capacity) return false;
    BoundedText builder(out, capacity);
    builder.Put(text);
    return builder.Whole();
}

bool FillMailSubject(const char16_t* subjectText, const char16_t* productName, char16_t* out,
                     size_t capacity) {
    if (!out || !capacity) return false;
    char16_t joined[kMailTextChars];
    BoundedText builder(joined, kMailTextChars);
    builder.Put(subjectText);
    builder.Put(u" :");
    builder.Put(productName);
    bool const whole = builder.Whole();
    return ReplaceAll(joined, u"#AP#", &productName, 1, out, capacity) && whole;
}

bool FillMailText(const char16_t* text, const char16_t* productName, const char16_t* siteLink, char16_t* out,
                  size_t capacity) {
    if (!out || !capacity) return false;
    // Two buffers taken in turn: each replacement reads the result of the one before.
    char16_t first[kMailTextChars];
    char16_t second[kMailTextChars];
    BoundedText unescaped(first, kMailTextChars);
    for (const char16_t* c = text ? text : u""; *c; ++c) {
        if (c[0] == u'\\' && (c[1] == u'r' || c[1] == u'n')) {
            unescaped.Put(c[1] == u'r' ? u'\r' : u'\n');
            ++c;
        } else {
            unescaped.Put(*c);
        }
    }
    bool whole = unescaped.Whole();
    const char16_t* const download[] = {siteLink, u"?site=Freeware/", productName};
    whole &= ReplaceAll(first, u"#AP#", &productName, 1, second, kMailTextChars);
    whole &= ReplaceAll(second, u"#IN#", download, 3, first, kMailTextChars);
    whole &= ReplaceAll(first, u"#DL#", &siteLink, 1, out, capacity);
    return whole;
}
