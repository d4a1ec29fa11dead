#pragma once

// What the file layer's tests on every system share: the fixture, a folder's contents and the
// table of saves that must change their own file and nothing else.
#include "SettingsTestFiles.h"

#include "settings/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

class SafeFileTest : public testing::Test {
protected:
    CTempFolder folder;
    std::filesystem::path path = folder.Path() / "file";
};

using MakeInFolder = std::function<void(const std::filesystem::path &folder)>;

std::size_t EntriesIn(const std::filesystem::path &folder);
// What a folder holds: each entry's bytes, a link's target after "->", "/" for a folder.
std::map<std::string, std::string> Contents(const std::filesystem::path &folder);
// Dates the file back beyond the age at which a save clears a killed save's leftovers.
void MakeOld(const std::filesystem::path &path);
// A file of that name holding "left", old unless bOld is false.
MakeInFolder MakeFile(const std::string &name, bool bOld = true);
MakeInFolder MakeAll(std::vector<MakeInFolder> makes);

// What reading, saving and appending make of what make leaves at a path.
struct ReadCase {
    const char *name;
    std::function<void(const std::filesystem::path &)> make;
    FileProblem read;
    FileProblem append;
};
// Each case's read (at most 16 bytes), append and save fail as it says, and what is at the path
// stays what it was: none blocks or reads on.
void ExpectOnlyRegularFilesWithinTheLimit(const std::filesystem::path &path, const std::vector<ReadCase> &cases);

// One save into a folder of its own, made by make: what it returns and which leftovers it clears.
struct SaveCase {
    const char *name;
    MakeInFolder make;
    FileProblem save;
    FileProblem append = FileProblem::None;
    std::set<std::string> removed = {}; // leftovers the save clears
    std::string file = "file";
    FileWarning warning = FileWarning::None;
};
// Saves and appends to each case's file in a new folder under folder: the save changes its file
// and nothing else in the folder, but the leftovers it clears, or it changes nothing at all.
void ExpectEachSaveChangesOnlyItsFile(const std::filesystem::path &folder, const std::vector<SaveCase> &cases);
