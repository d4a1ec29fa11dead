#include "HidrawTestbed.h"

#include "app/MainDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "device/HidapiBackend.h"
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
        const QString settings = folder.filePath(QStringLiteral("confight.ini"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);

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
