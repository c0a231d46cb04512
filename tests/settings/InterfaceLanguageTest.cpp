#include "SettingsTestSupport.h"

#include "settings/InterfaceLanguage.h"
#include "text/Catalogue.h"

namespace cvx {
namespace {

using testing::SettingsTest;

TEST(InterfaceLanguage, LanguageIdentifiers) {
    EXPECT_EQ(CatalogueLanguageFor(0), "en");
    EXPECT_EQ(CatalogueLanguageFor(0x0409), "en");
    EXPECT_EQ(CatalogueLanguageFor(0x041D), "sv"); // Swedish
    EXPECT_EQ(CatalogueLanguageFor(0x081D), "sv"); // Swedish (Finland)
    EXPECT_EQ(CatalogueLanguageFor(0x0407), "en"); // no German catalogue
    EXPECT_EQ(CatalogueLanguageFor(-1), "en");
}

TEST_F(SettingsTest, TheCatalogueFollowsTheStoredLanguage) {
    ApplyInterfaceLanguage(store);
    EXPECT_EQ(MessageLanguage(), "en");
    ASSERT_TRUE(store.WriteInt(Setting::Language, 1053));
    ApplyInterfaceLanguage(store);
    EXPECT_EQ(MessageLanguage(), "sv");
    EXPECT_EQ(Message(msg::YesNo::Yes), "Ja");
    EXPECT_EQ(Message(msg::YesNo::CheckingNewVersion), "Checking new version on the web...");
    ASSERT_TRUE(store.SetValue("Interface\\Locale", "Language", "Swedish"));
    ApplyInterfaceLanguage(store);
    EXPECT_EQ(MessageLanguage(), "en");
    EXPECT_EQ(Message(msg::YesNo::Yes), "Yes");
}

} // namespace
} // namespace cvx
