#include "settings/SafeFile.h"

#include "settings/SafeFileParts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

bool FileError::IsMissing() const
{
    return problem == FileProblem::System && nErrno == ENOENT;
}

bool FileError::IsRefusal() const
{
    return problem == FileProblem::OwnerNotKept || problem == FileProblem::UntrustedLink ||
           problem == FileProblem::ForeignFile ||
           (problem == FileProblem::System && (nErrno == EACCES || nErrno == EPERM || nErrno == EROFS));
}

UserText FileErrorReason(const FileError &error)
{
    switch (error.problem) {
    case FileProblem::None:
    case FileProblem::System:
        break;
    case FileProblem::NotRegular:
        return {QT_TRANSLATE_NOOP("Tavrin", "不是普通文件"), {}};
    case FileProblem::TooLarge:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件超过 %1 字节的上限"), {std::to_string(error.nLimit)}};
    case FileProblem::Utf16OrNul:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件是 UTF-16 编码或含有零字节"), {}};
    case FileProblem::TextAfterEnd:
        return {QT_TRANSLATE_NOOP("Tavrin", "文件在结束符 0x1A 之后还有内容"), {}};
    case FileProblem::UntrustedLink:
        return {QT_TRANSLATE_NOOP("Tavrin", "这是其他用户放在共享文件夹中的链接，不会跟随"), {}};
    case FileProblem::ForeignFile:
        return {QT_TRANSLATE_NOOP("Tavrin", "这是其他用户放在共享文件夹中的文件，不会写入"), {}};
    case FileProblem::OwnerNotKept:
        return {QT_TRANSLATE_NOOP("Tavrin", "无法保持文件原有的所有者、组和权限，没有保存"), {}};
    case FileProblem::ChangedMeanwhile:
        return {QT_TRANSLATE_NOOP("Tavrin", "保存期间其他程序一再修改这个文件，没有保存"), {}};
    case FileProblem::Busy:
        return {QT_TRANSLATE_NOOP("Tavrin", "另一个程序正在保存这个文件夹中的文件，请稍后再试"), {}};
    }
    return {"%1", {std::strerror(error.nErrno)}};
}

UserText DescribeFileError(const FileError &error, FileAction action, const std::string &strPath)
{
    struct Texts {
        const char *pszRead;
        const char *pszSave;
    };
    // %1 the file, %2 the reason: the system's own words for an error, or FileErrorReason's.
    static const Texts refused = {QT_TRANSLATE_NOOP("Tavrin", "没有权限读取配置文件：%1"),
                                  QT_TRANSLATE_NOOP("Tavrin", "参数未保存，没有权限写入：%1")};
    static const Texts system = {QT_TRANSLATE_NOOP("Tavrin", "无法读取配置文件（%2）：%1"),
                                 QT_TRANSLATE_NOOP("Tavrin", "参数未保存（%2）：%1")};
    static const Texts notRegular = {QT_TRANSLATE_NOOP("Tavrin", "配置文件不是普通文件：%1"),
                                     QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件不是普通文件：%1")};
    static const Texts tooLarge = {QT_TRANSLATE_NOOP("Tavrin", "配置文件超过 1 MiB：%1"),
                                   QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件超过 1 MiB：%1")};
    static const Texts utf16 = {QT_TRANSLATE_NOOP("Tavrin", "配置文件是 UTF-16 编码或含有零字节：%1"),
                                QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件是 UTF-16 编码或含有零字节：%1")};
    static const Texts afterEnd = {QT_TRANSLATE_NOOP("Tavrin", "配置文件在结束符 0x1A 之后还有内容：%1"),
                                   QT_TRANSLATE_NOOP("Tavrin", "参数未保存，配置文件在结束符 0x1A 之后还有内容：%1")};
    const Texts *texts = &system;
    switch (error.problem) {
    case FileProblem::None:
    case FileProblem::System:
        texts = error.IsRefusal() ? &refused : &system;
        break;
    case FileProblem::UntrustedLink:
    case FileProblem::ForeignFile:
    case FileProblem::OwnerNotKept:
    case FileProblem::ChangedMeanwhile:
    case FileProblem::Busy:
        break;
    case FileProblem::NotRegular:
        texts = &notRegular;
        break;
    case FileProblem::TooLarge:
        texts = &tooLarge;
        break;
    case FileProblem::Utf16OrNul:
        texts = &utf16;
        break;
    case FileProblem::TextAfterEnd:
        texts = &afterEnd;
        break;
    }
    return {action == FileAction::Read ? texts->pszRead : texts->pszSave,
            {QuotedInput(strPath), TranslateText(FileErrorReason(error))}};
}

std::optional<UserText> DescribeFileWarning(const FileError &error, const std::string &strPath)
{
    if (error.Failed() || error.warning == FileWarning::None)
        return std::nullopt;
    return UserText{QT_TRANSLATE_NOOP("Tavrin", "注意：%1 还有其他硬链接，它们仍是保存之前的内容"), {QuotedInput(strPath)}};
}

FileError SaveWholeFile(const std::filesystem::path &path, std::string_view bytes, std::size_t maxBytes)
{
    return RewriteFile(
        path,
        [&](const std::string *, std::string &next) {
            next.assign(bytes);
            return FileError{};
        },
        maxBytes);
}


std::string TemporaryPrefix(std::string_view fileName, std::size_t nameMax)
{
    constexpr std::string_view kMark = ".tavrin-";
    const std::size_t room = nameMax > 1 + kMark.size() + kTemporaryRandomLength
                                 ? nameMax - 1 - kMark.size() - kTemporaryRandomLength
                                 : 0;
    std::size_t keep = std::min(fileName.size(), room);
    // A cut inside a UTF-8 sequence would leave a name some file systems refuse.
    while (keep > 0 && keep < fileName.size() && (static_cast<unsigned char>(fileName[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + std::string(fileName.substr(0, keep)) + std::string(kMark);
}

bool IsTemporaryName(std::string_view name, std::string_view prefix)
{
    if (name.size() != prefix.size() + kTemporaryRandomLength || !name.starts_with(prefix))
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}
