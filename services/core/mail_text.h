#pragma once
#include <stddef.h>

// The texts of the mail that recommends the program: subject and text come from the language's
// texts with the placeholders "#AP#" (the product name), "#IN#" (the site's download page) and
// "#DL#" (the site) filled in.

// The subject's and the attachment path's buffers, terminator included.
size_t const kMailFieldChars = 264;
// The mail text's buffer; a longer text (only a user's language file could make one) is cut.
size_t const kMailTextChars = 8192;

// Copies text (null reads as empty) into out, cut at capacity - 1 units, never between the two
// halves of a surrogate pair. True when the whole text fitted.
bool CopyTextCut(const char16_t* text, char16_t* out, size_t capacity);

// The subject: subjectText, " :" and the product name, in which every "#AP#" becomes the product
// name; no other placeholder and no escape is touched. Cut cleanly at the capacity.
bool FillMailSubject(const char16_t* subjectText, const char16_t* productName, char16_t* out,
                     size_t capacity);

// The text: the escapes "\r" and "\n" (backslash and letter) become CR and LF; then every "#AP#"
// becomes the product name, every "#IN#" siteLink + "?site=Freeware/" + the product name, and every
// "#DL#" siteLink, in this order, each over the result of the one before. Cut cleanly at the capacity.
bool FillMailText(const char16_t* text, const char16_t* productName, const char16_t* siteLink, char16_t* out,
                  size_t capacity);
