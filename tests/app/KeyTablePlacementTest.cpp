#include "app/KeyTablePlacement.h"
#include "app/MainDlg.h"
#include "sim/VirtualHidBackend.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The key table's place against the main window as it is laid out, on screens of a laptop and of a
// netbook, with and without a window manager's frames, wherever the main window stands.
class KeyTablePlacementTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), folder.filePath(QStringLiteral("confight.ini"))));
        QFile::setPermissions(folder.filePath(QStringLiteral("confight.ini")), QFile::ReadOwner | QFile::WriteOwner);
    }

    void theTableNeverCoversTheWindow_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<bool>("narrow");
        const QMargins none, decorated(4, 30, 4, 4);
        QTest::newRow("1366x768") << QSize(1366, 768) << none << false;
        QTest::newRow("1366x768, window manager") << QSize(1366, 768) << decorated << false;
        QTest::newRow("1024x600") << QSize(1024, 600) << none << true;
        QTest::newRow("1024x600, window manager") << QSize(1024, 600) << decorated << true;
    }

    void theTableNeverCoversTheWindow()
    {
        QFETCH(QSize, screen);
        QFETCH(QMargins, frame);
        QFETCH(bool, narrow);
        CVirtualHidBackend backend;
        CMainDlg window(backend, folder.filePath(QStringLiteral("confight.ini")).toStdString());
        // A panel at the bottom of the screen.
        const QRect area(QPoint(0, 0), screen - QSize(0, 28));
        window.FitToArea(area.size().shrunkBy(frame));
        const int room = area.width() - window.width() - frame.left() - frame.right();
        for (const int x : {0, room / 2, room}) {
            window.move(x, 0);
            KeyTableSurroundings around = window.KeyTableSurroundingsOn(area);
            around.frameMargins = frame;
            around.mainFrame = QRect(window.pos(), window.size().grownBy(frame));
            around.pageArea.translate(frame.left(), frame.top());
            around.operations.translate(frame.left(), frame.top());
            const KeyTablePlacement place = PlaceKeyTable(around);
            const QString where = QStringLiteral("window at x = %1").arg(x);
            QVERIFY2(place.narrow == narrow, qPrintable(where));
            const QRect table = place.table.marginsAdded(frame);
            const QRect main(place.mainTopLeft, around.mainFrame.size());
            const QPoint moved = place.mainTopLeft - around.mainFrame.topLeft();
            QVERIFY2(area.contains(table) && area.contains(main), qPrintable(where));
            if (narrow) {
                QCOMPARE(moved, QPoint());
                QCOMPARE(place.table, around.pageArea);
                QVERIFY2(!table.intersects(around.operations), qPrintable(where));
            } else {
                QVERIFY2(!table.intersects(main), qPrintable(where));
                // The window moves only where neither side has room for the table.
                const bool roomOnASide = x >= table.width() || x + around.mainFrame.width() + table.width() <= area.width();
                QCOMPARE(moved.isNull(), roomOnASide);
                QCOMPARE(table.top(), main.top());
            }
        }
    }

private:
    QTemporaryDir folder;
};

QTEST_MAIN(KeyTablePlacementTest)
#include "KeyTablePlacementTest.moc"
