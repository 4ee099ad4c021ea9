#include "services/core/site_address_rules.h"

#include "base/core/text.h"

namespace {

long const kEuropeanBiasMinutes = 240;

struct SiteStrings {
    const char16_t* host;
    const char16_t* link;
    const char16_t* caption;
};

// Indexed by SiteVariant.
SiteStrings const kSites[] = {
    {u"www.vantorel.de", u"https://www.vantorel.de", u"...  www.vantorel.de"},
    {u"www.vantorel.eu", u"https://www.vantorel.eu", u"...  www.vantorel.eu"},
    {u"www.vantorel.com", u"https://www.vantorel.com", u"...  www.vantorel.com"},
};

const SiteStrings& Site(SiteVariant variant) {
    return kSites[static_cast<int>(variant)];
}

}  // namespace

SiteVariant ChooseSiteVariant(int languageIndex, bool haveTimeZone, long biasMinutes) {
    if (languageIndex == 0) return SiteVariant::kGerman;
    if (haveTimeZone && biasMinutes >= -kEuropeanBiasMinutes && biasMinutes <= kEuropeanBiasMinutes)
        return SiteVariant::kEuropean;
    return SiteVariant::kInternational;
}

const char16_t* SiteHost(SiteVariant variant) {
    return Site(variant).host;
}
const char16_t* SiteLink(SiteVariant variant) {
    return Site(variant).link;
}
const char16_t* SiteCaption(SiteVariant variant) {
    return Site(variant).caption;
}

bool PageAddress(SitePage page, const char16_t* base, int languageIndex, char16_t* out, size_t capacity) {
    if (!out || capacity == 0) return false;
    out[0] = 0;
    if (!base) return false;
    bool const german = languageIndex == 0;
    const char16_t* parts[] = {base, u"", u""};
    switch (page) {
        case SitePage::kThanks:
            parts[1] = u"/?seite=Microsoft/Huepeek";
            parts[2] = german ? u"/Danke" : u"/Thanks";
            break;
        case SitePage::kLicence:
            parts[1] = u"/?seite=Microsoft/Huepeek";
            parts[2] = german ? u"/Lizenz" : u"/Eula";
            break;
        case SitePage::kDonation: parts[1] = u"?seite=paypal&Program=Huepeek"; break;
        case SitePage::kFaq: parts[1] = u"?seite=faq-Huepeek&faq=0"; break;
        case SitePage::kMoreFreeware: break;
        case SitePage::kUninstall: parts[1] = u"?site=Microsoft/Huepeek/Uninstall"; break;
    }
    size_t total = 0;
    for (const char16_t* part : parts) total += TextLength(part);
    if (total >= capacity) return false;
    size_t at = 0;
    for (const char16_t* part : parts)
        for (const char16_t* c = part; *c; ++c) out[at++] = *c;
    out[at] = 0;
    return true;
}
