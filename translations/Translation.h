#pragma once

#include "translations/Language.h"

#include <QString>

#include <optional>
#include <string>

// The one context of every text a person reads.
inline constexpr const char *kTextContext = "Tavrin";

// A source text (a caption, a list item, a title) in the language of this run.
QString TranslatedText(const std::string &source);

// Makes language the language of this run: installs its translation into the application object,
// which must exist, and routes TranslateText through it. Chinese needs no translation. False, with
// a note on standard error, when the translation file is missing; the texts then stay Chinese.
bool InstallTranslation(Language language);

// What each program does once its application object exists: chooses the language from --lang as
// its argument layer read it (nullopt: none given), TAVRIN_LANG and the locale, and installs it.
// False, with the reason on standard error in the language of the environment, when --lang names
// no language Tavrin has; the program then ends with status 2.
bool SetUpLanguage(const std::optional<std::string> &option);
