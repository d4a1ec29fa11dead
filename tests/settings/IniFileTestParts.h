#pragma once

// The settings document's fixtures, shared by the tests on every system and the POSIX ones.
#include "SettingsTestFiles.h"

#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class IniFileTest : public testing::Test {
protected:
    void SetUp() override { ini.SetPath(path); }

    void WriteFile(const std::vector<std::string> &lines) { WriteBytes(path, CrLf(lines)); }

    CTempFolder folder;
    std::string path = folder.File("test.ini");
    CIniFile ini;
};

class FailedSaveTest : public IniFileTest {
protected:
    void SetUp() override
    {
        IniFileTest::SetUp();
        WriteFile(kOld);
        ini.ReadInt("int", "k", 0);
    }

    void ExpectOldFileIntact()
    {
        EXPECT_FALSE(ini.IsOpen());
        EXPECT_EQ(ReadBytes(path), CrLf(kOld));
        // The change stays in the lines for the next save.
        EXPECT_EQ(ini.Lines().at(1), "k=" + Scrambled("25"));
    }

    const std::vector<std::string> kOld = {"[int]", "k=" + Scrambled("1"), "[String]", "man=" + Scrambled("深圳")};
};
