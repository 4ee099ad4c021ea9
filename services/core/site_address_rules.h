#pragma once
#include <cstddef>

// The maker's web site exists in a German, a European and an international variant. These rules
// choose the variant and build the addresses; the exe supplies the language and the time zone.

enum class SiteVariant { kGerman, kEuropean, kInternational };

// German for the German user interface (language index 0) whatever the zone; otherwise European
// when the time zone could be read and lies within four hours of UTC (bias in minutes, UTC = local
// time + bias), else international.
SiteVariant ChooseSiteVariant(int languageIndex, bool haveTimeZone, long biasMinutes);

const char16_t* SiteHost(SiteVariant variant);     // www.vantorel.de
const char16_t* SiteLink(SiteVariant variant);     // https://www.vantorel.de
const char16_t* SiteCaption(SiteVariant variant);  // "...  www.vantorel.de", a button caption

// The maker's pages. The thank-you, licence, donation, FAQ and more-freeware pages hang below the
// base address by the language rule; the uninstall page below the built-in one.
enum class SitePage { kThanks, kLicence, kDonation, kFaq, kMoreFreeware, kUninstall };

// The page's address below a base address (scheme and host, no trailing slash); the German user
// interface (language index 0) has German page names. False, with an empty text, when it does not
// fit the capacity (terminator included): a cut address would open a wrong page.
bool PageAddress(SitePage page, const char16_t* base, int languageIndex, char16_t* out, size_t capacity);
