#include "services/core/site_address_rules.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// GetTimeZoneInformation's Bias is UTC minus local time in minutes: Berlin -60, New York 300,
// Kolkata -330.
TEST(SiteAddressRules, VariantByLanguageAndTimeZone) {
    struct {
        int languageIndex;
        bool haveTimeZone;
        long bias;
        SiteVariant expected;
    } const cases[] = {
        {1, true, 0, SiteVariant::kEuropean},         {1, true, -60, SiteVariant::kEuropean},
        {1, true, -240, SiteVariant::kEuropean},      {1, true, 240, SiteVariant::kEuropean},
        {1, true, -241, SiteVariant::kInternational}, {1, true, 241, SiteVariant::kInternational},
        {1, true, 300, SiteVariant::kInternational},  {1, true, -330, SiteVariant::kInternational},
        {1, false, 0, SiteVariant::kInternational},  // zone unreadable: the bias means nothing
        {7, true, 120, SiteVariant::kEuropean},       {34, true, -600, SiteVariant::kInternational},
        {-1, true, 0, SiteVariant::kEuropean},  // only index 0 is German
        {0, true, 0, SiteVariant::kGerman},           {0, true, 300, SiteVariant::kGerman},
        {0, true, -600, SiteVariant::kGerman},        {0, false, 0, SiteVariant::kGerman},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ChooseSiteVariant(c.languageIndex, c.haveTimeZone, c.bias))
            << "language " << c.languageIndex << ", zone " << c.haveTimeZone << ", bias " << c.bias;
    }
}

TEST(SiteAddressRules, AddressForms) {
    struct {
        SiteVariant variant;
        const char16_t *host, *link, *caption;
    } const cases[] = {
        {SiteVariant::kGerman, u"www.vantorel.de", u"https://www.vantorel.de", u"...  www.vantorel.de"},
        {SiteVariant::kEuropean, u"www.vantorel.eu", u"https://www.vantorel.eu", u"...  www.vantorel.eu"},
        {SiteVariant::kInternational, u"www.vantorel.com", u"https://www.vantorel.com",
         u"...  www.vantorel.com"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::u16string(c.host), SiteHost(c.variant));
        EXPECT_EQ(std::u16string(c.link), SiteLink(c.variant));
        EXPECT_EQ(std::u16string(c.caption), SiteCaption(c.variant));
    }
}

// Every page in the German and the English user interface (language indexes 0 and 1; any index
// but 0 gives the international names).
TEST(SiteAddressRules, PageAddresses) {
    const char16_t* const de = u"https://www.vantorel.de";
    const char16_t* const com = u"https://www.vantorel.com";
    const char16_t* const eu = u"https://www.vantorel.eu";
    struct {
        SitePage page;
        const char16_t* base;
        int languageIndex;
        const char16_t* expected;
    } const cases[] = {
        {SitePage::kThanks, de, 0, u"https://www.vantorel.de/?seite=Microsoft/Huepeek/Danke"},
        {SitePage::kThanks, com, 1, u"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks"},
        {SitePage::kThanks, com, 22, u"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks"},
        {SitePage::kLicence, de, 0, u"https://www.vantorel.de/?seite=Microsoft/Huepeek/Lizenz"},
        {SitePage::kLicence, com, 1, u"https://www.vantorel.com/?seite=Microsoft/Huepeek/Eula"},
        {SitePage::kDonation, de, 0, u"https://www.vantorel.de?seite=paypal&Program=Huepeek"},
        {SitePage::kDonation, com, 1, u"https://www.vantorel.com?seite=paypal&Program=Huepeek"},
        {SitePage::kFaq, de, 0, u"https://www.vantorel.de?seite=faq-Huepeek&faq=0"},
        {SitePage::kFaq, com, 1, u"https://www.vantorel.com?seite=faq-Huepeek&faq=0"},
        {SitePage::kMoreFreeware, de, 0, u"https://www.vantorel.de"},
        {SitePage::kMoreFreeware, com, 1, u"https://www.vantorel.com"},
        {SitePage::kUninstall, de, 0, u"https://www.vantorel.de?site=Microsoft/Huepeek/Uninstall"},
        {SitePage::kUninstall, eu, 1, u"https://www.vantorel.eu?site=Microsoft/Huepeek/Uninstall"},
        {SitePage::kThanks, u"", 1, u"/?seite=Microsoft/Huepeek/Thanks"},
    };
    for (const auto& c : cases) {
        char16_t out[256];
        ASSERT_TRUE(PageAddress(c.page, c.base, c.languageIndex, out, 256));
        EXPECT_EQ(std::u16string(c.expected), out);
    }
}

TEST(SiteAddressRules, PageAddressNeverOverflowsOrCuts) {
    std::u16string const exact = u"https://www.vantorel.com/?seite=Microsoft/Huepeek/Thanks";
    std::u16string const longBase(5000, u'x');
    struct {
        const char16_t* base;
        size_t capacity;
        bool fits;
    } const cases[] = {
        {u"https://www.vantorel.com", exact.size() + 1, true},
        {u"https://www.vantorel.com", exact.size(), false},  // no room for the terminator
        {u"https://www.vantorel.com", 1, false},
        {longBase.c_str(), 256, false},
        {nullptr, 256, false},
    };
    for (const auto& c : cases) {
        // Guard units behind the capacity catch a write past it.
        std::u16string out(c.capacity + 8, u'#');
        EXPECT_EQ(c.fits, PageAddress(SitePage::kThanks, c.base, 1, &out[0], c.capacity))
            << "capacity " << c.capacity;
        EXPECT_EQ(std::u16string(8, u'#'), out.substr(c.capacity)) << "written past the capacity";
        if (c.fits)
            EXPECT_EQ(exact, out.c_str());
        else
            EXPECT_EQ(u'\0', out[0]) << "a cut address must not be left behind";
    }
    EXPECT_FALSE(PageAddress(SitePage::kThanks, u"https://www.vantorel.com", 1, nullptr, 256));
}

}  // namespace
