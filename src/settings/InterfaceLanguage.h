#pragma once
// The interface language: the message catalogue follows the stored language identifier.

#include "settings/SettingsStore.h"

#include <string_view>

namespace cvx {

// The catalogue language of a language identifier as "Interface\Locale" "Language" stores it
// (a Windows language identifier, the primary language in its low ten bits): Swedish gives "sv",
// every other identifier, 0 included, "en".
std::string_view CatalogueLanguageFor(int languageId);

// Switches the catalogue to the stored interface language; a language whose catalogue is not
// built in leaves English. Called by the program and the command line at start-up.
void ApplyInterfaceLanguage(const SettingsStore& store);

} // namespace cvx
