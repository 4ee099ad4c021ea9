#include "services/core/mail_text.h"

#include "base/core/text.h"

namespace {

// Appends units to a bounded text; once something did not fit, nothing more is added, and the end
// is never left as the first half of a surrogate pair.
class TextBuilder {
  public:
    TextBuilder(char16_t* out, size_t capacity) : out_(out), capacity_(capacity) {
        if (capacity_) out_[0] = 0;
    }
    void Add(char16_t c) {
        if (cut_) return;
        if (length_ + 1 >= capacity_) {
            Cut();
            return;
        }
        out_[length_++] = c;
        out_[length_] = 0;
    }
    void Add(const char16_t* text) {
        for (; text && *text && !cut_; ++text) Add(*text);
    }
    bool Whole() const { return !cut_; }

  private:
    void Cut() {
        cut_ = true;
        if (length_ && IsHighSurrogate(out_[length_ - 1])) out_[--length_] = 0;
    }
    char16_t* out_;
    size_t capacity_;
    size_t length_ = 0;
    bool cut_ = false;
};

bool StartsWith(const char16_t* text, const char16_t* prefix) {
    while (*prefix && *text == *prefix) ++text, ++prefix;
    return !*prefix;
}

// Every occurrence of token (four units) in text becomes the parts of with, in order.
bool ReplaceAll(const char16_t* text, const char16_t* token, const char16_t* const* with, size_t withCount,
                char16_t* out, size_t capacity) {
    TextBuilder builder(out, capacity);
    size_t const tokenLength = TextLength(token);
    for (const char16_t* c = text ? text : u""; *c;) {
        if (StartsWith(c, token)) {
            for (size_t i = 0; i < withCount; ++i) builder.Add(with[i]);
            c += tokenLength;
        } else {
            builder.Add(*c++);
        }
    }
    return builder.Whole();
}

}  // namespace

bool CopyTextCut(const char16_t* text, char16_t* out, size_t capacity) {
    if (!out || !capacity) return false;
    TextBuilder builder(out, capacity);
    builder.Add(text);
    return builder.Whole();
}

bool FillMailSubject(const char16_t* subjectText, const char16_t* productName, char16_t* out,
                     size_t capacity) {
    if (!out || !capacity) return false;
    char16_t joined[kMailTextChars];
    TextBuilder builder(joined, kMailTextChars);
    builder.Add(subjectText);
    builder.Add(u" :");
    builder.Add(productName);
    bool const whole = builder.Whole();
    return ReplaceAll(joined, u"#AP#", &productName, 1, out, capacity) && whole;
}

bool FillMailText(const char16_t* text, const char16_t* productName, const char16_t* siteLink, char16_t* out,
                  size_t capacity) {
    if (!out || !capacity) return false;
    // Two buffers taken in turn: each replacement reads the result of the one before.
    char16_t first[kMailTextChars];
    char16_t second[kMailTextChars];
    TextBuilder unescaped(first, kMailTextChars);
    for (const char16_t* c = text ? text : u""; *c; ++c) {
        if (c[0] == u'\\' && (c[1] == u'r' || c[1] == u'n')) {
            unescaped.Add(c[1] == u'r' ? u'\r' : u'\n');
            ++c;
        } else {
            unescaped.Add(*c);
        }
    }
    bool whole = unescaped.Whole();
    const char16_t* const download[] = {siteLink, u"?site=Freeware/", productName};
    whole &= ReplaceAll(first, u"#AP#", &productName, 1, second, kMailTextChars);
    whole &= ReplaceAll(second, u"#IN#", download, 3, first, kMailTextChars);
    whole &= ReplaceAll(first, u"#DL#", &siteLink, 1, out, capacity);
    return whole;
}
