#include "app/Display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <vector>
#include <string>

namespace {
// Sets the display variables for one case and puts the old values back afterwards.
class CDisplayEnvironment {
public:
    CDisplayEnvironment()
    {
        for (const char *name : kNames) {
            const char *value = std::getenv(name);
            m_saved.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~CDisplayEnvironment()
    {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (m_saved[i])
                setenv(kNames[i], m_saved[i]->c_str(), 1);
            else
                unsetenv(kNames[i]);
        }
    }
    void Set(const char *platform, const char *display, const char *wayland)
    {
        const char *values[] = {platform, display, wayland};
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (values[i])
                setenv(kNames[i], values[i], 1);
            else
                unsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char *kNames[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    std::vector<std::optional<std::string>> m_saved;
};

TEST(Display, IsFoundThroughAnyOfTheVariables)
{
    struct Case {
        const char *platform, *display, *wayland;
        bool expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false}, {nullptr, "", "", false},          {nullptr, ":0", nullptr, true},
        {nullptr, nullptr, "wayland-0", true}, {"offscreen", nullptr, nullptr, true},
    };
    CDisplayEnvironment environment;
    for (const Case &c : cases) {
        environment.Set(c.platform, c.display, c.wayland);
        EXPECT_EQ(HasDisplay(), c.expected) << (c.display ? c.display : "-") << (c.wayland ? c.wayland : "-");
    }
}

// The hint names the program as it was started, also the demo or an installed copy.
TEST(Display, HintIsOneSentenceThatRunsTheProgramStartedUnderXvfb)
{
    for (const std::string program : {"build/bin/tavrin-demo", "tavrin"}) {
        const std::string hint = ComposeText(NoDisplayHint(program));
        EXPECT_NE(hint.find("xvfb-run -a " + program), std::string::npos) << hint;
        EXPECT_EQ(hint.find('\n'), std::string::npos);
    }
}
} // namespace
