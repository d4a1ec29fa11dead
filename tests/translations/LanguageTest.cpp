#include "translations/Language.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {
constexpr Language zh = Language::Chinese;
constexpr Language en = Language::English;

struct ChoiceCase {
    const char *name;
    std::optional<Language> commandLine;
    std::map<std::string, std::string> environment;
    Language expected;
};

TEST(LanguageTest, ChoiceFollowsOptionThenVariableThenLocale)
{
    const ChoiceCase cases[] = {
        {"nothing set", {}, {}, zh},
        {"C locale", {}, {{"LANG", "C.UTF-8"}}, zh},
        {"POSIX locale", {}, {{"LC_ALL", "POSIX"}, {"LANGUAGE", "en"}}, zh},
        {"Chinese locale", {}, {{"LANG", "zh_TW.Big5"}}, zh},
        {"German locale", {}, {{"LANG", "de_DE.UTF-8"}}, en},
        {"LC_ALL before LANG", {}, {{"LC_ALL", "zh_CN.UTF-8"}, {"LANG", "fr_FR.UTF-8"}}, zh},
        {"LC_MESSAGES before LANG, empty LC_ALL", {}, {{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE"}, {"LANG", "zh_CN"}}, en},
        {"LANGUAGE's first entry", {}, {{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "zh_CN:en"}}, zh},
        {"variable over locale", {}, {{"TAVRIN_LANG", "en"}, {"LANG", "zh_CN.UTF-8"}}, en},
        {"variable as a locale name", {}, {{"TAVRIN_LANG", "ZH_cn.utf8"}, {"LANG", "en_US"}}, zh},
        {"unknown variable: the locale", {}, {{"TAVRIN_LANG", "fr"}, {"LANG", "de_DE"}}, en},
        {"option over variable", en, {{"TAVRIN_LANG", "zh"}}, en},
        {"option over locale", zh, {{"LANG", "en_US.UTF-8"}}, zh},
    };
    for (const ChoiceCase &c : cases) {
        const auto lookup = [&c](const char *name) {
            const auto it = c.environment.find(name);
            return it == c.environment.end() ? std::string() : it->second;
        };
        EXPECT_EQ(ChooseLanguage(c.commandLine, lookup), c.expected) << c.name;
    }
}

} // namespace
