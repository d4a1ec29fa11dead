#include "SafeFileTestParts.h"

#include "settings/Utf8Path.h"

#include <chrono>

namespace fs = std::filesystem;

std::size_t EntriesIn(const fs::path &folder)
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

std::map<std::string, std::string> Contents(const fs::path &folder)
{
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
        const std::string name = Utf8FromPath(entry.path().filename());
        contents[name] = entry.is_symlink() ? "->" + Utf8FromPath(fs::read_symlink(entry))
                         : entry.is_directory() ? "/"
                                                : ReadBytes(entry.path());
    }
    return contents;
}

void MakeOld(const fs::path &path)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::seconds(kStaleTemporaryAgeSeconds + 60));
}

MakeInFolder MakeFile(const std::string &name, bool bOld)
{
    return [=](const fs::path &folder) {
        const fs::path file = folder / PathFromUtf8(name);
        WriteBytes(file, "left");
        if (bOld)
            MakeOld(file);
    };
}

MakeInFolder MakeAll(std::vector<MakeInFolder> makes)
{
    return [=](const fs::path &folder) {
        for (const MakeInFolder &make : makes)
            make(folder);
    };
}

void ExpectOnlyRegularFilesWithinTheLimit(const fs::path &path, const std::vector<ReadCase> &cases)
{
    for (const ReadCase &c : cases) {
        fs::remove_all(path);
        c.make(path);
        const fs::file_type type = fs::symlink_status(path).type();
        std::string bytes = "old";
        const FileError read = ReadRegularFile(path, bytes, 16);
        EXPECT_EQ(read.problem, c.read) << c.name;
        if (!read.Failed()) {
            EXPECT_EQ(bytes, "") << c.name;
        }
        EXPECT_EQ(AppendToFile(path, "line\n").problem, c.append) << c.name;
        EXPECT_EQ(SaveWholeFile(path, "new", 16).problem, c.read) << c.name;
        EXPECT_EQ(fs::symlink_status(path).type(), type) << c.name;
    }
}

void ExpectEachSaveChangesOnlyItsFile(const fs::path &folder, const std::vector<SaveCase> &cases)
{
    int number = 0;
    for (const SaveCase &c : cases) {
        const fs::path place = folder / std::to_string(++number);
        fs::create_directory(place);
        c.make(place);
        std::map<std::string, std::string> expected = Contents(place);

        const fs::path file = place / PathFromUtf8(c.file);
        const FileError saved = SaveWholeFile(file, "new", 64);
        EXPECT_EQ(saved.problem, c.save) << c.name;
        EXPECT_EQ(saved.warning, c.warning) << c.name;
        if (!saved.Failed()) {
            expected[c.file] = "new";
            for (const std::string &name : c.removed)
                expected.erase(name);
        }
        EXPECT_EQ(Contents(place), expected) << c.name;

        EXPECT_EQ(AppendToFile(file, "+").problem, c.append) << c.name;
        EXPECT_EQ(ReadBytes(file), expected[c.file] + (c.append == FileProblem::None ? "+" : "")) << c.name;
    }
}
