#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {
std::vector<std::string> RuleLines(const char *path = TAVRIN_UDEV_RULE)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

bool Has(const std::string &line, const std::string &part)
{
    return line.find(part) != std::string::npos;
}

TEST(UdevRule, GivesTheSeatAccessToBothModulesHidrawNodes)
{
    const auto lines = RuleLines();
    struct Pair {
        const char *vendor;
        const char *product;
    };
    for (const Pair pair : {Pair{"0b05", "185f"}, Pair{"2b05", "285f"}}) {
        const auto rule = std::find_if(lines.begin(), lines.end(), [&](const std::string &line) {
            return Has(line, std::string("ATTRS{idVendor}==\"") + pair.vendor + "\"") &&
                   Has(line, std::string("ATTRS{idProduct}==\"") + pair.product + "\"");
        });
        ASSERT_NE(rule, lines.end()) << pair.vendor << ":" << pair.product;
        EXPECT_TRUE(Has(*rule, "SUBSYSTEM==\"hidraw\"")) << *rule;
        EXPECT_TRUE(Has(*rule, "IMPORT{builtin}=\"usb_id\"")) << *rule;
        const auto grant = std::find_if(rule, lines.end(), [&](const std::string &line) {
            return Has(line, std::string("ATTRS{idVendor}==\"") + pair.vendor + "\"") && Has(line, "uaccess");
        });
        ASSERT_NE(grant, lines.end()) << pair.vendor << ":" << pair.product;
        EXPECT_TRUE(Has(*grant, std::string("ATTRS{idProduct}==\"") + pair.product + "\"")) << *grant;
    }
}

// The tool opens interfaces 1 and 2 only; every grant names exactly those.
TEST(UdevRule, GrantsOnlyTheInterfacesTheToolOpens)
{
    int grants = 0;
    for (const auto &line : RuleLines()) {
        if (!Has(line, "uaccess"))
            continue;
        ++grants;
        EXPECT_TRUE(Has(line, "ENV{ID_USB_INTERFACE_NUM}==\"01|02\"")) << line;
    }
    EXPECT_EQ(grants, 2);
}

// The optional rule for line PCs: the same interfaces, to a group, never to everyone.
TEST(UdevRule, TheGroupRuleGrantsOnlyTheInterfacesTheToolOpens)
{
    std::vector<std::string> grants;
    for (const auto &line : RuleLines(TAVRIN_GROUP_RULE)) {
        EXPECT_FALSE(Has(line, "uaccess") || Has(line, "0666")) << line;
        if (Has(line, "GROUP") || Has(line, "MODE") || Has(line, "OWNER")) {
            grants.push_back(line);
            EXPECT_TRUE(Has(line, "ENV{ID_USB_INTERFACE_NUM}==\"01|02\", GROUP=\"plugdev\", MODE=\"0660\"")) << line;
        }
    }
    ASSERT_EQ(grants.size(), 2u);
    EXPECT_TRUE(Has(grants[0], "ATTRS{idVendor}==\"0b05\", ATTRS{idProduct}==\"185f\"")) << grants[0];
    EXPECT_TRUE(Has(grants[1], "ATTRS{idVendor}==\"2b05\", ATTRS{idProduct}==\"285f\"")) << grants[1];
}

TEST(UdevRule, NeverOpensTheNodesToEveryone)
{
    for (const auto &line : RuleLines()) {
        EXPECT_FALSE(Has(line, "MODE")) << line;
        EXPECT_FALSE(Has(line, "0666")) << line;
    }
}

TEST(UdevRule, SortsBeforeTheSeatRules)
{
    const std::string path = TAVRIN_UDEV_RULE;
    const std::string name = path.substr(path.find_last_of('/') + 1);
    // 73-seat-late.rules turns the uaccess tag into access for the active session.
    EXPECT_LT(name, "73-seat-late.rules");
    EXPECT_EQ(name.substr(0, 1), "6");
}
} // namespace
