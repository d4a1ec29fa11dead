#include "app/AboutDlg.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "common/ControlIds.h"
#include "sim/VirtualHidBackend.h"
#include "translations/Translation.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace MainId;

namespace {
const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Every text a widget shows, or names itself by to a screen reader.
QStringList TextsOf(const QWidget *widget)
{
    QStringList texts{widget->windowTitle(), widget->toolTip(), widget->accessibleName()};
    if (auto *label = qobject_cast<const QLabel *>(widget))
        texts << label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        texts << button->text();
    if (auto *frame = qobject_cast<const QGroupBox *>(widget))
        texts << frame->title();
    const auto *combo = qobject_cast<const QComboBox *>(widget);
    for (int i = 0; combo && i < combo->count(); ++i)
        texts << combo->itemText(i);
    const auto *tabs = qobject_cast<const QTabBar *>(widget);
    for (int i = 0; tabs && i < tabs->count(); ++i)
        texts << tabs->tabText(i);
    return texts;
}

// "class name: text" for each text with Chinese in it, leaving out the widgets that show data.
QStringList ChineseTexts(const QWidget *root, const QList<QWidget *> &data = {})
{
    QList<const QWidget *> widgets{root};
    for (const QWidget *child : root->findChildren<QWidget *>())
        widgets << child;
    QStringList found;
    for (const QWidget *widget : widgets) {
        for (const QString &text : TextsOf(widget)) {
            if (!data.contains(widget) && text.contains(kChinese))
                found << QString::fromLatin1(widget->metaObject()->className()) + QStringLiteral(": ") + text;
        }
    }
    return found;
}

// Runs action, which may open a message box or a menu, and returns the texts of what opened.
QStringList TextsOfWhatOpens(const std::function<void()> &action)
{
    QStringList texts;
    QTimer opened; // gone with this call when nothing opens
    opened.setSingleShot(true);
    opened.start(0);
    QObject::connect(&opened, &QTimer::timeout, [&texts] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            texts << box->text();
            box->accept();
        } else if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (const QAction *item : menu->actions())
                texts << item->text();
            menu->close();
        }
    });
    action();
    return texts;
}

} // namespace

// The window, its pages, menu and messages, and the about box in English: no Chinese left except
// the settings file's header lines, which are shown as written. That every caption fits its
// control in English is checked with the window's fit tests.
class EnglishWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    CMessageBoxSink sink;

    // Runs the window, searches without a module and opens its menu; collects what is in Chinese.
    void CheckWindow(QStringList &found)
    {
        const QString settings = folder.filePath(QStringLiteral("confight.ini"));
        QFile::remove(settings);
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        CVirtualHidBackend backend;
        CMainDlg dialog(backend, settings.toStdString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QStringList message =
            TextsOfWhatOpens([&dialog] { dialog.Items().Item<QPushButton>(kFindModule)->click(); });
        QCOMPARE(message.size(), 1);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), dialog.mapToGlobal(QPoint(2, 2)));
        const QStringList menu = TextsOfWhatOpens([&] { QApplication::sendEvent(&dialog, &event); });
        QCOMPARE(menu.size(), 4); // a separator, the two key-map items and the about item
        for (const QString &text : message + menu)
            found << (text.contains(kChinese) ? text : QString());
        found << ChineseTexts(&dialog, {dialog.Items().GetDlgItem(kMaker), dialog.Items().GetDlgItem(kContact),
                                        dialog.Items().GetDlgItem(kWeb)});
        found.removeAll(QString());
    }

private slots:
    void initTestCase() { QVERIFY(InstallTranslation(Language::English)); }

    void noChineseLeft()
    {
        CMessageSinkScope scope(sink);
        QStringList found;
        CheckWindow(found);
        found << ChineseTexts(std::make_unique<CAboutDlg>().get());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(EnglishWindowTest)
#include "EnglishWindowTest.moc"
