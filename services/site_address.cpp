#include "services/site_address.h"

#include <shellapi.h>

#include "base/system_calls.h"
#include "base/wide_text.h"
#include "lang/core/text_ids.h"
#include "lang/string_table.h"
#include "services/core/site_address_rules.h"

namespace {

size_t const kAddressChars = 1024;

// Evaluated anew for every address: the user may change the time zone while the program runs.
SiteVariant TimeZoneRuleVariant() {
    TIME_ZONE_INFORMATION zone = {};
    bool const haveZone = GetTimeZoneInformation(&zone) != TIME_ZONE_ID_INVALID;
    return ChooseSiteVariant(g_language.Slot(), haveZone, zone.Bias);
}

}  // namespace

const wchar_t* BuiltInSiteAddress(bool caption) {
    SiteVariant const variant = TimeZoneRuleVariant();
    return Wide(caption ? SiteCaption(variant) : SiteLink(variant));
}

const wchar_t* LanguageRuleBase() {
    const wchar_t* const base =
        ProductString(g_language.Slot() == 0 ? kProductSiteGerman : kProductSiteInternational);
    return base && *base ? base : BuiltInSiteAddress(false);
}

void OpenSitePage(SitePage page) {
    bool const uninstall = page == SitePage::kUninstall;
    const wchar_t* const base = uninstall ? BuiltInSiteAddress(false) : LanguageRuleBase();
    char16_t address[kAddressChars];
    if (!PageAddress(page, Utf16(base), g_language.Slot(), address, kAddressChars)) return;
    ShellOpen(uninstall ? GetActiveWindow() : nullptr, L"open", Wide(address), nullptr, nullptr, SW_SHOW);
}

void OpenThankYouPage() {
    OpenSitePage(SitePage::kThanks);
}
