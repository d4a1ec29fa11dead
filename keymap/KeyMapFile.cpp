#include "keymap/KeyMapFile.h"

#include "common/MessageSink.h"
#include "keymap/KeyMapReader.h"
#include "keymap/KeyMapWriter.h"
#include "settings/SafeFile.h"
#include "settings/Utf8Path.h"

namespace {
// %1 the file, %2 why.
constexpr const char *kReadFailed = QT_TRANSLATE_NOOP("Tavrin", "无法读取键值文件 %1：%2");
constexpr const char *kSaveFailed = QT_TRANSLATE_NOOP("Tavrin", "无法保存键值文件 %1：%2");

} // namespace

std::optional<KeyMap> LoadKeyMapFile(const std::string &path, int keyCount)
{
    std::string content;
    if (const FileError error = ReadRegularFile(PathFromUtf8(path), content, kMaxKeyMapFileSize); error.Failed()) {
        ShowMessage(kReadFailed, {QuotedInput(path), TranslateText(FileErrorReason(error))});
        return std::nullopt;
    }
    KeyMapResult result = ParseKeyMap(content, keyCount);
    if (!result.map)
        ShowMessage(result.error);
    return std::move(result.map);
}

bool SaveKeyMapFile(const std::string &path, const KeyMap &map, const std::string &header)
{
    const std::string content = FormatKeyMap(map, header);
    // What the loader would refuse is not saved: a map that reads back as no map at all.
    const int keyCount = map.keys.empty() ? 1 : map.keys.back().keyIndex + 1;
    if (const KeyMapResult readBack = ParseKeyMap(content, keyCount); !readBack.map) {
        ShowMessage(readBack.error);
        return false;
    }
    const FileError error = SaveWholeFile(PathFromUtf8(path), content, kMaxKeyMapFileSize);
    if (error.Failed()) {
        ShowMessage(kSaveFailed, {QuotedInput(path), TranslateText(FileErrorReason(error))});
        return false;
    }
    if (const auto warning = DescribeFileWarning(error, path))
        ShowMessage(*warning);
    return true;
}
