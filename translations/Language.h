#pragma once

#include "common/UserText.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The languages Tavrin speaks. Chinese is the language of its source texts; English comes from a
// translation.
enum class Language { Chinese, English };

// A language named on the command line or in TAVRIN_LANG: "zh" or "en", also as the start of a
// locale name ("en_GB.UTF-8", "zh-TW"), in any case. Nothing for any other name.
std::optional<Language> ParseLanguage(std::string_view name);

// Reads an environment variable; an unset one reads as empty.
using EnvironmentLookup = std::function<std::string(const char *name)>;
std::string ProcessEnvironment(const char *name);

// The language of this run: the command line's choice, else TAVRIN_LANG, else the locale.
// The locale (LC_ALL, LC_MESSAGES, LANG, the first one set, and LANGUAGE where the locale is not
// the plain C one) asks for Chinese or for English; a Chinese locale and no locale at all (unset,
// C or POSIX) keep the source texts, any other language gets English.
Language ChooseLanguage(std::optional<Language> commandLine, const EnvironmentLookup &environment);
// The language the system asks for where no locale variable is set: the source texts on POSIX
// systems (no locale is the C locale), the user's display language on Windows.
Language SystemLanguage();

// The language --lang names, as the argument layer read it (nullopt: no --lang). False for a name
// ParseLanguage does not know; chosen stays empty then and when the option is absent.
bool ReadLanguageOption(const std::optional<std::string> &option, std::optional<Language> &chosen);
// What a program says to a --lang it refused: "--lang 只接受 en 或 zh，不接受 xx".
UserText LanguageRefusal(const std::string &option);
