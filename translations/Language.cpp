#include "translations/Language.h"

#include <cstdlib>

namespace {
constexpr std::string_view kOption = "--lang";

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

bool TakeLanguageOption(std::vector<std::string> &args, std::optional<Language> &chosen)
{
    for (auto it = args.begin(); it != args.end(); ++it) {
        const std::string_view arg = *it;
        if (arg == "--")
            break; // the end of the options: what follows is a name, a key or a file
        if (arg.rfind(kOption, 0) != 0)
            continue;
        std::string_view name;
        auto last = it + 1;
        if (arg.size() > kOption.size() && arg[kOption.size()] == '=') {
            name = arg.substr(kOption.size() + 1);
        } else if (arg.size() == kOption.size()) {
            if (last == args.end())
                return false;
            name = *last;
            ++last;
        } else {
            continue; // another option that starts alike
        }
        const auto language = ParseLanguage(name);
        if (!language)
            return false;
        chosen = language;
        args.erase(it, last);
        return true;
    }
    return true;
}
