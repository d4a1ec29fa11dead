#include "app/MainDlg.h"
#include "common/ControlIds.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

// The window as a native client of a Wayland compositor (wayland_check.sh starts a headless one):
// Qt's Wayland plugin, not X11 through a compatibility server, shows it, and it works there.
class WaylandWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowRunsNatively()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        QTemporaryDir folder;
        const QString settings = folder.filePath(QStringLiteral("confight.ini"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        CRecordingSink sink;
        CVirtualModule module;
        CVirtualHidBackend backend;
        AddStandardModule(backend, module);
        CMainDlg dialog(backend, settings.toStdString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize screen = dialog.screen()->availableGeometry().size();
        QVERIFY(dialog.width() <= screen.width() && dialog.height() <= screen.height());
        dialog.Items().Item<QPushButton>(MainId::kFindModule)->click();
        QCOMPARE(dialog.Items().GetCount(MainId::kKeyList), 8);
        QVERIFY(sink.messages.empty());
    }
};

QTEST_MAIN(WaylandWindowTest)
#include "WaylandWindowTest.moc"
