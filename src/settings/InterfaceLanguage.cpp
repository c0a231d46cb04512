#include "settings/InterfaceLanguage.h"

#include "text/Catalogue.h"

namespace cvx {

namespace {

constexpr int kPrimaryLanguageMask = 0x3FF;
constexpr int kSwedish = 0x1D;

} // namespace

std::string_view CatalogueLanguageFor(int languageId) {
    return (languageId & kPrimaryLanguageMask) == kSwedish ? "sv" : "en";
}

void ApplyInterfaceLanguage(const SettingsStore& store) {
    if (!SetMessageLanguage(CatalogueLanguageFor(store.ReadInt(Setting::Language)))) {
        SetMessageLanguage("en");
    }
}

} // namespace cvx
