#include "app/FileDialog.h"

#include "translations/Translation.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

namespace {
// Qt's file model writes its size and date columns in the system locale; the dialog shows them
// in the program's.
class CLocaleColumns final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        if (role != Qt::DisplayRole || !files)
            return QIdentityProxyModel::data(index, role);
        const QModelIndex source = mapToSource(index);
        const QLocale locale;
        switch (index.column()) {
        case kSizeColumn:
            // A folder has no size to show.
            return files->isDir(source) ? QIdentityProxyModel::data(index, role)
                                        : locale.formattedDataSize(files->size(source));
        case kDateColumn:
            return locale.toString(files->lastModified(source), QLocale::ShortFormat);
        default:
            return QIdentityProxyModel::data(index, role);
        }
    }

private:
    // QFileSystemModel's columns: name, size, type, date modified.
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};
} // namespace

CFileDialog::CFileDialog(QWidget *parent, const char *title, const char *filter, const QString &folder)
    : QFileDialog(parent, TranslatedText(title), folder, TranslatedText(filter))
{
    setProxyModel(new CLocaleColumns(this));
}

QString AskOpenPath(QWidget *parent, const char *title, const char *filter, const QString &folder)
{
    CFileDialog dialog(parent, title, filter, folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

QString AskSavePath(QWidget *parent, const char *title, const char *filter, const QString &folder, const QString &suffix)
{
    CFileDialog dialog(parent, title, filter, folder);
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
