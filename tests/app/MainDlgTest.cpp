#include "app/MainDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "pages/PageDlg.h"
#include "pages/MouseIds.h"
#include "settings/IniFile.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace MainId;

namespace {
using Bytes = std::vector<std::uint8_t>;

QStringList Lines(QListWidget *list)
{
    QStringList lines;
    for (int row = 0; row < list->count(); ++row)
        lines << list->item(row)->text();
    return lines;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class MainDlgTest : public QObject {
    Q_OBJECT

private:
    // A main window over a fresh copy of the shipped settings file (or none), with one virtual
    // module attached unless told otherwise.
    void Open(bool withSettings = true, bool withModule = true)
    {
        settingsPath = folder->filePath(QStringLiteral("confight.ini"));
        QFile::remove(settingsPath);
        if (withSettings)
            QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settingsPath));
        QFile::setPermissions(settingsPath, QFile::ReadOwner | QFile::WriteOwner);
        module = std::make_unique<CVirtualModule>();
        backend = std::make_unique<CVirtualHidBackend>();
        if (withModule)
            AddStandardModule(*backend, *module);
        dialog = std::make_unique<CMainDlg>(*backend, settingsPath.toStdString());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <class T> T *Control(int id) const { return dialog->Items().Item<T>(id); }

    void Click(int id) { QTest::mouseClick(dialog->Items().GetDlgItem(id), Qt::LeftButton); }

    // Controls of the page that is shown, found by identifier.
    template <class T> T *PageControl(int id) const
    {
        return dialog->Tab().PageAt(dialog->Tab().m_nCurSel)->findChild<T *>(QString::number(id));
    }

    void ChooseTab(int index)
    {
        QTabBar *bar = dialog->Tab().TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }

    bool DeviceButtonsEnabled(bool expected) const
    {
        for (const int id : kDeviceButtons) {
            if (dialog->Items().IsWindowEnabled(id) != expected)
                return false;
        }
        return true;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        sink = std::make_unique<CRecordingSink>();
    }

    void cleanup()
    {
        dialog.reset();
        backend.reset();
        module.reset();
        sink.reset();
        folder.reset();
    }

    void startsAsTheTemplateSays()
    {
        Open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Tavrin V2.3 Vela"));
        QVERIFY(sink->messages.empty());
        QVERIFY(DeviceButtonsEnabled(false));
        QVERIFY(dialog->Items().IsWindowEnabled(kFindModule));
        for (const int id : {kWorkMode, kBaudRate, kTriggerLevel}) {
            QVERIFY(!dialog->Items().GetDlgItem(id)->isVisible());
            QVERIFY(!dialog->Items().IsWindowEnabled(id));
        }
        QCOMPARE(dialog->Tab().TabBar()->count(), 3);
        QCOMPARE(dialog->Tab().TabBar()->currentIndex(), 0);
        QCOMPARE(dialog->Tab().m_nCurSel, 0);
        // The shipped settings: long-press "否", debounce 40, work mode "键鼠组合".
        QCOMPARE(dialog->Items().GetCurSel(kLongPress), 1);
        QCOMPARE(Control<QLineEdit>(kDebounce)->text(), QStringLiteral("40"));
        QCOMPARE(dialog->Items().GetCurSel(kWorkMode), 2);
        QVERIFY(!dialog->windowIcon().isNull());
    }

    void roadOfOneKeyWrite()
    {
        Open();
        Click(kFindModule);
        QVERIFY(sink->messages.empty());
        QVERIFY(DeviceButtonsEnabled(true));
        QCOMPARE(Control<QComboBox>(kKeyList)->count(), 8);
        QCOMPARE(Control<QComboBox>(kModuleName)->currentText(), QStringLiteral("KORVA SB V2.2"));
        Control<QComboBox>(kKeyList)->setCurrentIndex(2);

        ChooseTab(1);
        QCOMPARE(dialog->Tab().m_nCurSel, 1);
        QTest::mouseClick(PageControl<QCheckBox>(MouseId::kLeftButton), Qt::LeftButton);
        QTest::mouseClick(PageControl<QWidget>(MouseId::kMoveUp), Qt::LeftButton);
        auto *count = PageControl<QLineEdit>(MouseId::kUpCount);
        count->setFocus();
        QTest::keyClicks(count, QStringLiteral("10"));
        module->ClearReports();
        Click(kWriteKey);

        QVERIFY(sink->messages.empty());
        const auto &reports = module->Reports();
        QCOMPARE(reports.size(), std::size_t{2});
        QCOMPARE(Bytes(reports[0].begin(), reports[0].begin() + 16),
                 (Bytes{0x00, 'S', 'B', 'C', 4, 0, 0, 0, 0x03, 0xFB, 0x00, 0x01, 0, 0, 0, 34}));
        QCOMPARE(Bytes(reports[1].begin(), reports[1].begin() + 4), (Bytes{0x00, 0x42, 0x01, 0x0A}));
        QCOMPARE(Lines(Control<QListWidget>(kLog)), QStringList{QStringLiteral("KEY-3 = MLKey+MoveUp(10)Pixel")});
    }

    void failedSearchKeepsTheButtonsDisabled()
    {
        Open(true, false);
        Click(kFindModule);
        QCOMPARE(sink->messages, std::vector<std::string>{"模块不在线"});
        QVERIFY(DeviceButtonsEnabled(false));
    }

    void logKeepsTheOrderOfInsertion()
    {
        Open();
        auto *log = Control<QListWidget>(kLog);
        Click(kClearLog);
        QCOMPARE(log->count(), 0);
        dialog->AddLogLine(QStringLiteral("KEY-2 = A"));
        dialog->AddLogLine(QStringLiteral("KEY-10 = B"));
        dialog->AddLogLine(QStringLiteral("KEY-1 = C"));
        QCOMPARE(Lines(log), (QStringList{"KEY-2 = A", "KEY-10 = B", "KEY-1 = C"}));
        Click(kClearLog);
        QCOMPARE(log->count(), 0);
        dialog->AddLogLine(QStringLiteral("KEY-5 = D"));
        QCOMPARE(Lines(log), QStringList{"KEY-5 = D"});
    }

    void escapeSavesTheParameters()
    {
        Open();
        dialog->Items().SetCurSel(kLongPress, 0);
        dialog->Items().SetDlgItemText(kDebounce, "25");
        QTest::keyClick(Control<QLineEdit>(kDebounce), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        CIniFile ini;
        ini.SetPath(settingsPath.toStdString());
        QCOMPARE(ini.ReadInt("int", "KeyHold", -1), 0);
        QCOMPARE(ini.ReadInt("int", "KeyDelay", -1), 25);
        QCOMPARE(ini.ReadInt("int", "KeyNum", -1), 8);
    }

    void enterClosesWithoutSaving_data()
    {
        QTest::addColumn<int>("focus");
        QTest::addColumn<bool>("keypad");
        for (const bool keypad : {false, true}) {
            const char *key = keypad ? "keypad Enter" : "Enter";
            QTest::addRow("%s in the debounce edit", key) << int(kDebounce) << keypad;
            QTest::addRow("%s in a closed combo box", key) << int(kLongPress) << keypad;
        }
    }

    // Enter from the main keyboard or from the numeric keypad, which carries the keypad modifier.
    static void PressEnter(QWidget *widget, bool keypad)
    {
        if (keypad)
            QTest::keyClick(widget, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(widget, Qt::Key_Return);
    }

    void enterClosesWithoutSaving()
    {
        QFETCH(int, focus);
        QFETCH(bool, keypad);
        Open();
        const QByteArray before = FileBytes(settingsPath);
        dialog->Items().SetDlgItemText(kDebounce, "25");
        QWidget *target = dialog->Items().GetDlgItem(focus);
        target->setFocus();
        PressEnter(QApplication::focusWidget(), keypad);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(FileBytes(settingsPath), before);
    }

    void enterOnAButtonPressesIt()
    {
        Open(true, false);
        Control<QPushButton>(kFindModule)->setFocus();
        for (const bool keypad : {false, true})
            PressEnter(Control<QPushButton>(kFindModule), keypad);
        QVERIFY(dialog->isVisible());
        QCOMPARE(sink->messages, (std::vector<std::string>{"模块不在线", "模块不在线"}));
    }

    void enterInsideAPageLeavesTheWindowOpen()
    {
        Open();
        ChooseTab(1);
        auto *count = PageControl<QLineEdit>(MouseId::kUpCount);
        count->setFocus();
        QTest::keyClick(count, Qt::Key_Return);
        QTest::keyClick(count, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->Tab().PageAt(1)->isVisible());
    }

    void missingSettingsFileIsNeverCreated()
    {
        Open(false);
        QCOMPARE(sink->messages, std::vector<std::string>{"配置文件丢失,请检查!"});
        QCOMPARE(Control<QLineEdit>(kDebounce)->text(), QStringLiteral("40"));
        Click(kFindModule);
        QCOMPARE(Control<QComboBox>(kKeyList)->count(), 0);
        QTest::keyClick(Control<QLineEdit>(kDebounce), Qt::Key_Escape);
        QVERIFY(!QFile::exists(settingsPath));
    }

    void headerLinesAreShownAsPlainText()
    {
        Open();
        const std::string markup = "制造商<img src=\"/etc/hostname\"><b>电话</b>";
        {
            CIniFile ini;
            ini.SetPath(settingsPath.toStdString());
            QVERIFY(ini.Load());
            QVERIFY(ini.WriteString("String", "man", markup));
        }
        dialog.reset();
        dialog = std::make_unique<CMainDlg>(*backend, settingsPath.toStdString());
        auto *label = Control<QLabel>(kMaker);
        QCOMPARE(label->text(), QString::fromStdString(markup));
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }

    // A window as tall as the screen, or placed with its title bar above the screen, still shows
    // its whole frame on the screen's available area when it first opens.
    void theFrameOpensInsideTheScreen_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addRow("placed by the dialog") << QPoint(-1, -1);
        QTest::addRow("title bar above the screen") << QPoint(10, -5);
        QTest::addRow("beyond the bottom right corner") << QPoint(5000, 5000);
    }

    void theFrameOpensInsideTheScreen()
    {
        QFETCH(QPoint, start);
        Open();
        dialog->hide();
        dialog = std::make_unique<CMainDlg>(*backend, settingsPath.toStdString());
        const QRect area = dialog->screen()->availableGeometry();
        dialog->FitToArea(area.size());
        if (start != QPoint(-1, -1))
            dialog->move(start);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QVERIFY(dialog->frameGeometry() != dialog->geometry()); // the platform gives it a frame
        QVERIFY2(area.contains(dialog->frameGeometry()),
                 qPrintable(QDebug::toString(dialog->frameGeometry()) + QDebug::toString(area)));
    }

    // Shift+F10, as the menu key, opens the window's context menu from a control without its own.
    void shiftF10OpensTheContextMenu()
    {
        Open();
        for (QWidget *focus : {static_cast<QWidget *>(dialog->Tab().TabBar()), dialog->Items().GetDlgItem(kFindModule)}) {
            // A shortcut of the window works while the window is active; a closed menu gives the
            // activation back only later, when the machine is busy.
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            focus->setFocus();
            QStringList items;
            QTimer poll; // the menu opens in a loop of its own
            poll.callOnTimeout([&items, &poll] {
                if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                    for (const QAction *action : menu->actions())
                        items << action->text();
                    menu->close();
                    poll.stop();
                }
            });
            poll.start(10);
            QTest::keyClick(focus, Qt::Key_F10, Qt::ShiftModifier);
            QCOMPARE(items.size(), 5); // a separator, the two key-map items, the key table and the about item
        }
    }

    // Typing into a list of the window never shows a text other than the item it writes.
    void aTypedTextNeverStandsForAnotherItem()
    {
        Open();
        Click(kFindModule);
        auto *keys = Control<QComboBox>(kKeyList);
        keys->setCurrentIndex(1);
        for (const int id : {kKeyList, kLongPress, kModuleName}) {
            auto *list = Control<QComboBox>(id);
            list->setFocus();
            QTest::keyClicks(list, QStringLiteral("KEY-99"));
            QCOMPARE(list->currentText(), list->itemText(list->currentIndex()));
        }
        Click(kWriteKey);
        const QStringList log = Lines(Control<QListWidget>(kLog));
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].startsWith(keys->currentText() + QStringLiteral(" = ")), qPrintable(log[0]));
    }

    void aboutBoxOpensAndCloses()
    {
        Open();
        QString caption;
        QTimer::singleShot(0, this, [&caption] {
            QWidget *about = QApplication::activeModalWidget();
            if (about) {
                caption = about->windowTitle();
                QTest::keyClick(about, Qt::Key_Escape);
            }
        });
        dialog->ShowAboutBox();
        QCOMPARE(caption, QStringLiteral("关于Tavrin V2.3 Vela"));
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<CRecordingSink> sink;
    std::unique_ptr<CVirtualModule> module;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMainDlg> dialog;
    QString settingsPath;
};

QTEST_MAIN(MainDlgTest)
#include "MainDlgTest.moc"
