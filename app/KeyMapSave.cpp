#include "app/KeyMapSave.h"

#include "common/UserText.h"
#include "keymap/KeyMapFile.h"
#include "translations/Translation.h"

#include <QFileInfo>

namespace {
constexpr const char *kSavedLine = QT_TRANSLATE_NOOP("Tavrin", "已保存到 %1");
} // namespace

QString SavedLine(const QString &path)
{
    return QString::fromStdString(TranslateText({kSavedLine, {QuotedInput(path.toStdString())}}));
}

QString SaveKeyMapAndLog(QString path, const KeyMap &map, const std::function<void(const QString &)> &log)
{
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(kKeyMapSuffix);
    if (!SaveKeyMapFile(path.toStdString(), map))
        return {};
    log(SavedLine(path));
    return path;
}
