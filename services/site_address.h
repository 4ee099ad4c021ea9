#pragma once
#include <windows.h>

#include "services/core/site_address_rules.h"

// Addresses of the maker's web site.

// The built-in address by the time-zone rule: "https://" + host, or as a button caption
// "...  " + host. A static text.
const wchar_t* BuiltInSiteAddress(bool caption);

// The base address by the language rule: product string 20 for the German user interface, else 21;
// the built-in link form when the archive has none.
const wchar_t* LanguageRuleBase();

// Opens a page of the maker's site in the user's browser, once; errors are not reported. The
// uninstall page is owned by the active window.
void OpenSitePage(SitePage page);
void OpenThankYouPage();
