#include "HidrawTestbed.h"

#include "app/MainDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "device/HidapiBackend.h"
#include "device/ModuleWatcher.h"
#include "pages/MouseIds.h"
#include "pages/PageDlg.h"
#include "support/RecordingSink.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace MainId;

namespace {
using Bytes = std::vector<std::uint8_t>;
constexpr int kSkipped = 77;

// A copy of the default settings, which the window may save into.
QString SettingsCopy(const QTemporaryDir &folder)
{
    const QString settings = folder.filePath(QStringLiteral("confight.ini"));
    if (!QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings))
        return {};
    QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
    return settings;
}

QStringList LogLines(CDialogItems &items)
{
    QStringList lines;
    auto *log = items.Item<QListWidget>(kLog);
    for (int row = 0; row < log->count(); ++row)
        lines << log->item(row)->text();
    return lines;
}

bool DeviceButtonsEnabled(CDialogItems &items, bool expected)
{
    return std::all_of(std::begin(kDeviceButtons), std::end(kDeviceButtons),
                       [&](int id) { return items.GetDlgItem(id)->isEnabled() == expected; });
}
} // namespace

// The road of one key write, from the window down through the production hidapi backend to an
// emulated hidraw node.
class HidrawMainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void roadOfOneKeyWrite()
    {
        CRecordingSink sink;
        CHidrawTestbed testbed;
        CVirtualModule module;
        AddStandardModule(testbed, module);
        QTemporaryDir folder;
        const QString settings = SettingsCopy(folder);
        QVERIFY(!settings.isEmpty());

        CHidapiBackend backend;
        CMainDlg dialog(backend, settings.toStdString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        CDialogItems &items = dialog.Items();

        QTest::mouseClick(items.GetDlgItem(kFindModule), Qt::LeftButton);
        QCOMPARE(sink.messages, std::vector<std::string>{});
        QCOMPARE(QString::fromStdString(testbed.LastWrittenNode()), QStringLiteral("/dev/hidraw1"));
        QCOMPARE(items.Item<QComboBox>(kKeyList)->count(), 8);
        items.Item<QComboBox>(kKeyList)->setCurrentIndex(2);

        QTabBar *bar = dialog.Tab().TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
        CPageDlg *mouse = dialog.Tab().PageAt(1);
        QTest::mouseClick(mouse->Items().GetDlgItem(MouseId::kLeftButton), Qt::LeftButton);
        QTest::mouseClick(mouse->Items().GetDlgItem(MouseId::kMoveUp), Qt::LeftButton);
        auto *count = mouse->Items().Item<QLineEdit>(MouseId::kUpCount);
        count->setFocus();
        QTest::keyClicks(count, QStringLiteral("10"));
        module.ClearReports();
        QTest::mouseClick(items.GetDlgItem(kWriteKey), Qt::LeftButton);

        QCOMPARE(sink.messages, std::vector<std::string>{});
        const auto &reports = module.Reports();
        QCOMPARE(reports.size(), std::size_t{2});
        for (const auto &report : reports) {
            QCOMPARE(report.size(), std::size_t{65});
            QCOMPARE(report[0], std::uint8_t{0});
        }
        QCOMPARE(Bytes(reports[0].begin(), reports[0].begin() + 16),
                 (Bytes{0x00, 'S', 'B', 'C', 4, 0, 0, 0, 0x03, 0xFB, 0x00, 0x01, 0, 0, 0, 34}));
        QCOMPARE(Bytes(reports[1].begin(), reports[1].begin() + 4), (Bytes{0x00, 0x42, 0x01, 0x0A}));
        QCOMPARE(module.Memory()[34], std::uint8_t{0x42});
        auto *log = items.Item<QListWidget>(kLog);
        QCOMPARE(log->count(), 1);
        QCOMPARE(log->item(0)->text(), QStringLiteral("KEY-3 = MLKey+MoveUp(10)Pixel"));
    }

    // Plugged in while the window is open, the module is searched for and queried without a
    // press; pulled out after a key write, it leaves the buttons disabled; plugged back in, it is
    // opened again, keeps the chosen key, and what it holds is compared with what was written.
    void moduleComesGoesAndComesBack()
    {
        CRecordingSink sink;
        CHidrawTestbed testbed;
        CVirtualModule module;
        QTemporaryDir folder;
        const QString settings = SettingsCopy(folder);
        QVERIFY(!settings.isEmpty());
        CHidapiBackend backend;
        CMainDlg dialog(backend, settings.toStdString());
        std::unique_ptr<IModuleWatcher> watcher = CreateModuleWatcher();
        QVERIFY(watcher);
        dialog.WatchModules(std::move(watcher));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        CDialogItems &items = dialog.Items();
        auto *keys = items.Item<QComboBox>(kKeyList);

        AddStandardModule(testbed, module);
        QTRY_COMPARE(keys->count(), 8);
        QVERIFY(DeviceButtonsEnabled(items, true));
        QCOMPARE(LogLines(items), QStringList{QStringLiteral("模块已插入：KORVA SB V2.2 EMU0001（/dev/hidraw1），8 个按键")});
        keys->setCurrentIndex(2);
        QTest::mouseClick(items.GetDlgItem(kWriteKey), Qt::LeftButton);
        QCOMPARE(LogLines(items).size(), 2);

        testbed.Unplug(module);
        QTRY_VERIFY(DeviceButtonsEnabled(items, false));

        AddStandardModule(testbed, module);
        QTRY_VERIFY(DeviceButtonsEnabled(items, true));
        QCOMPARE(LogLines(items).mid(2),
                 (QStringList{QStringLiteral("模块已拔出：KORVA SB V2.2 EMU0001（/dev/hidraw1），设备操作按钮已禁用"),
                              QStringLiteral("模块已重新插入：KORVA SB V2.2 EMU0001（/dev/hidraw3），8 个按键，所选按键和参数不变"),
                              QStringLiteral("重新插入后核对：本次写入的 1 个按键与模块一致")}));
        QCOMPARE(keys->currentIndex(), 2);
        QCOMPARE(QString::fromStdString(testbed.LastWrittenNode()), QStringLiteral("/dev/hidraw3"));

        // A module that lost the key while it was out says so.
        testbed.Unplug(module);
        QTRY_VERIFY(DeviceButtonsEnabled(items, false));
        module.Memory()[34] ^= 0xFF;
        AddStandardModule(testbed, module);
        QTRY_COMPARE(LogLines(items).size(), 8);
        QCOMPARE(LogLines(items).last(), QStringLiteral("重新插入后核对：模块中 KEY-3 与拔出前写入的不一致"));
        QCOMPARE(sink.messages, std::vector<std::string>{});
    }
};

int main(int argc, char **argv)
{
    if (!CHidrawTestbed::IsAvailable()) {
        std::printf("SKIPPED: the emulated hidraw nodes exist only in a program started by umockdev-wrapper\n");
        return kSkipped;
    }
    QApplication app(argc, argv);
    HidrawMainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HidrawMainWindowTest.moc"
