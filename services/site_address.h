#pragma once
#include <windows.h>

// Addresses of the maker's web site.

// The built-in address by the time-zone rule: "https://" + host, or as a button caption
// "...  " + host. A static text.
const wchar_t* BuiltInSiteAddress(bool caption);

// The base address by the language rule: product string 20 for the German user interface, else 21;
// the built-in link form when the archive has none.
const wchar_t* LanguageRuleBase();

// Opens the thank-you page in the user's browser.
void OpenThankYouPage();
