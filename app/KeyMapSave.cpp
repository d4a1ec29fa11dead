#include "app/KeyMapSave.h"

#include "common/UserText.h"
#include "keymap/KeyMapFile.h"
#include "translations/Translation.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {
constexpr const char *kSavedLine = QT_TRANSLATE_NOOP("Tavrin", "已保存到 %1");
constexpr const char *kKeyMapSuffix = ".txt";
} // namespace

QString AskSavePath(QWidget *parent, const char *title, const char *filter, const QString &folder, const QString &suffix)
{
    QFileDialog dialog(parent, TranslatedText(title), folder, TranslatedText(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix.mid(1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().front();
    // A dialog of the desktop's own may leave the suffix to the program.
    if (QFileInfo(path).suffix().isEmpty())
        path += suffix;
    return path;
}

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
