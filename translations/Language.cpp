#include "translations/Language.h"

#include <cstdlib>

namespace {
// The language part of a locale or language name: "en_GB.UTF-8" gives "en".
std::string LanguagePart(std::string_view name)
{
    const std::size_t end = name.find_first_of("_-.@:");
    std::string part(name.substr(0, end));
    for (char &c : part)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return part;
}

bool IsPlainLocale(const std::string &locale)
{
    return locale.empty() || locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0;
}

Language FromLocale(const EnvironmentLookup &environment)
{
    std::string locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment(name);
        if (!locale.empty())
            break;
    }
    // A system whose users set no locale variables (Windows) says its language its own way.
    if (locale.empty())
        return SystemLanguage();
    if (IsPlainLocale(locale))
        return Language::Chinese;
    // LANGUAGE lists the preferred languages in order; only the first one counts here.
    const std::string preferred = environment("LANGUAGE");
    const std::string language = LanguagePart(preferred.empty() ? locale : preferred);
    return language == "zh" ? Language::Chinese : Language::English;
}
} // namespace

std::optional<Language> ParseLanguage(std::string_view name)
{
    const std::string language = LanguagePart(name);
    if (language == "zh")
        return Language::Chinese;
    if (language == "en")
        return Language::English;
    return std::nullopt;
}

std::string ProcessEnvironment(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

Language ChooseLanguage(std::optional<Language> commandLine, const EnvironmentLookup &environment)
{
    if (commandLine)
        return *commandLine;
    if (const auto chosen = ParseLanguage(environment("TAVRIN_LANG")))
        return *chosen;
    return FromLocale(environment);
}

bool ReadLanguageOption(const std::optional<std::string> &option, std::optional<Language> &chosen)
{
    chosen = option ? ParseLanguage(*option) : std::nullopt;
    return !option || chosen;
}

UserText LanguageRefusal(const std::string &option)
{
    return {QT_TRANSLATE_NOOP("Tavrin", "--lang 只接受 en 或 zh，不接受 %1"), {QuotedInput(option)}};
}
