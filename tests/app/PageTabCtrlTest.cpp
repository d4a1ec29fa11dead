#include "app/PageTabCtrl.h"
#include "pages/GamePadSettingDig.h"
#include "pages/MouseIds.h"
#include "pages/MouseSettingDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

#include <memory>

namespace {
// A page of the smallest kind: one edit field.
const DialogTemplate &ProbeTemplate()
{
    static const DialogTemplate dialog{900, "", 100, 60, "宋体", 9, {{901, CtlKind::Edit, 5, 5, 40, 12, "", kStyleNone, {}}}};
    return dialog;
}

class CProbePage final : public CPageDlg {
public:
    explicit CProbePage(QWidget *parent) : CPageDlg(ProbeTemplate(), parent) {}
    std::string GetKeyAssignment(std::uint8_t &, std::uint8_t &, std::optional<UserText> &) override { return {}; }
};

const PageClass kProbeClass{"CProbePage", 900, [](QWidget *parent) -> CPageDlg * { return new CProbePage(parent); }};
const PageClass kFailingClass{"CFailingPage", 900, [](QWidget *) -> CPageDlg * { return nullptr; }};

bool HasFocusInside(QWidget *page)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == page || page->isAncestorOf(focus));
}
} // namespace

class PageTabCtrlTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        window = std::make_unique<QDialog>();
        window->resize(500, 400);
        host = new CPageTabCtrl(window.get());
        host->setGeometry(10, 10, 480, 380);
    }

    void cleanup() { window.reset(); }

    void pagesAreCreatedByClassAsHiddenChildren()
    {
        QCOMPARE(host->AddPage(MouseSettingDlg::Class(), QStringLiteral("鼠标"), 131, 0), 0);
        QCOMPARE(host->AddPage(GamePadSettingDig::Class(), QStringLiteral("游戏杆"), 132, 0), 1);
        QCOMPARE(host->TabBar()->count(), 2);
        QCOMPARE(host->TabBar()->tabText(0), QStringLiteral("鼠标"));
        QCOMPARE(host->TabBar()->tabText(1), QStringLiteral("游戏杆"));
        QCOMPARE(host->PageOf(MouseSettingDlg::Class()), host->PageAt(0));
        QCOMPARE(host->PageOf(GamePadSettingDig::Class()), host->PageAt(1));
        QCOMPARE(g_pMouseSettingDlg, host->PageAt(0));
        QCOMPARE(g_pGamePadSettingDig, host->PageAt(1));
        window->show();
        for (int index : {0, 1}) {
            QCOMPARE(host->PageAt(index)->parentWidget(), host);
            QVERIFY(!host->PageAt(index)->isVisible());
            QVERIFY(host->PageAt(index)->isEnabled());
        }
    }

    void aFailedPageGetsNoTabAndTheNextTakesItsIndex()
    {
        QCOMPARE(host->AddPage(kProbeClass, QStringLiteral("甲"), 900, 0), 0);
        QCOMPARE(host->AddPage(kFailingClass, QStringLiteral("乙"), 900, 0), -1);
        QCOMPARE(host->AddPage(kProbeClass, QStringLiteral("丙"), 900, 0), 1);
        QCOMPARE(host->TabBar()->count(), 2);
        QCOMPARE(host->TabBar()->tabText(1), QStringLiteral("丙"));
        QVERIFY(!host->PageOf(kFailingClass));
        QVERIFY(!host->PageAt(2));
    }

    void aPageIsBuiltOnlyFromItsOwnTemplate()
    {
        const int before = host->findChildren<CPageDlg *>().size();
        QCOMPARE(host->AddPage(MouseSettingDlg::Class(), QStringLiteral("鼠标"), 132, 0), -1);
        QCOMPARE(host->findChildren<CPageDlg *>().size(), before);
        QCOMPARE(host->TabBar()->count(), 0);
        QVERIFY(!host->PageOf(MouseSettingDlg::Class()));
        // Only the low 16 bits name the template.
        QCOMPARE(host->AddPage(MouseSettingDlg::Class(), QStringLiteral("鼠标"), 0x10000 | 131, 0), 0);
    }

    void pagesFillTheAreaBelowATabRowOfKnownHeight()
    {
        host->TabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { height: 18px; margin: 0; padding: 0; border: 0; }"));
        AddThreePages();
        QCOMPARE(host->TabBar()->tabRect(0).height(), 18);
        host->resize(300, 200);
        window->show();
        const QRect area(2, 22, 300 - 4, 200 - 26);
        for (int index : {0, 1, 2})
            QCOMPARE(host->PageAt(index)->geometry(), area);
        QVERIFY(host->PageAt(0)->isVisible());
        QVERIFY(!host->PageAt(1)->isVisible());
        QVERIFY(!host->PageAt(2)->isVisible());
    }

    void choosingATabSwitchesPages()
    {
        AddThreePages();
        ShowActive();
        ChooseTab(1);
        QCOMPARE(host->m_nCurSel, 1);
        QVERIFY(!host->PageAt(0)->isVisible() && !host->PageAt(0)->isEnabled());
        QVERIFY(host->PageAt(1)->isVisible() && host->PageAt(1)->isEnabled());
        QVERIFY(HasFocusInside(host->PageAt(1)));
        ChooseTab(0);
        QCOMPARE(host->m_nCurSel, 0);
        QVERIFY(host->PageAt(0)->isVisible() && host->PageAt(0)->isEnabled());
        QVERIFY(HasFocusInside(host->PageAt(0)));
        QVERIFY(!host->PageAt(1)->isVisible() && !host->PageAt(1)->isEnabled());
        // Never chosen: hidden but still enabled.
        QVERIFY(!host->PageAt(2)->isVisible() && host->PageAt(2)->isEnabled());
    }

    void choosingTheCurrentTabChangesNothing()
    {
        AddThreePages();
        ShowActive();
        auto *field = host->PageAt(0)->findChild<QLineEdit *>(QString::number(MouseId::kUpCount));
        field->setFocus();
        host->m_nCurSel = 42;
        ChooseTab(0);
        QCOMPARE(host->m_nCurSel, 42);
        QCOMPARE(QApplication::focusWidget(), field);
        QVERIFY(host->PageAt(0)->isVisible());
    }

    void settingTheActivePageInCodeLeavesTheUsersChoiceAlone()
    {
        AddThreePages();
        ShowActive();
        host->m_nCurSel = 42;
        QVERIFY(host->SetActivePage(2));
        QCOMPARE(host->TabBar()->currentIndex(), 2);
        QVERIFY(host->PageAt(2)->isVisible());
        QVERIFY(host->SetActivePage(2));
        QVERIFY(!host->SetActivePage(3));
        QVERIFY(!host->SetActivePage(-1));
        QCOMPARE(host->m_nCurSel, 42);
        QCOMPARE(host->TabBar()->currentIndex(), 2);
        QVERIFY(host->PageAt(2)->isVisible());
    }

    void aResizeLaysThePagesOutAgain()
    {
        AddThreePages();
        ShowActive();
        const QSize before = host->PageAt(2)->size();
        host->resize(host->width() - 40, host->height() - 30);
        QCOMPARE(host->PageAt(2)->size(), before - QSize(40, 30));
        QVERIFY(host->PageAt(0)->isVisible());
    }

    // Enter and Esc in a page act on nothing: the page stays shown, the window stays open and its
    // default button is not pressed.
    void enterAndEscapeInAPageReachNeitherPageNorWindow_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("control");
        QTest::newRow("count field") << 0 << MouseId::kUpCount;
        QTest::newRow("check box") << 0 << MouseId::kLeftButton;
        QTest::newRow("direction list") << 0 << MouseId::kWheelDirection;
        QTest::newRow("gamepad choice") << 2 << 1083;
        QTest::newRow("probe field") << 1 << 901;
    }

    void enterAndEscapeInAPageReachNeitherPageNorWindow()
    {
        QFETCH(int, page);
        QFETCH(int, control);
        auto *ok = new QPushButton(QStringLiteral("OK"), window.get());
        ok->setDefault(true);
        QSignalSpy pressed(ok, &QPushButton::clicked);
        QSignalSpy finished(window.get(), &QDialog::finished);
        AddThreePages();
        ShowActive();
        ChooseTab(page);
        QWidget *widget = host->PageAt(page)->findChild<QWidget *>(QString::number(control));
        widget->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(widget, key);
            QVERIFY(host->PageAt(page)->isVisible());
            QVERIFY(window->isVisible());
        }
        QCOMPARE(pressed.count(), 0);
        QCOMPARE(finished.count(), 0);
    }

private:
    // The owner's order: pages in tab order, the first shown, m_nCurSel set, then the layout.
    void AddThreePages()
    {
        QCOMPARE(host->AddPage(MouseSettingDlg::Class(), QStringLiteral("鼠标"), 131, 0), 0);
        QCOMPARE(host->AddPage(kProbeClass, QStringLiteral("探针"), 900, 0), 1);
        QCOMPARE(host->AddPage(GamePadSettingDig::Class(), QStringLiteral("游戏杆"), 132, 0), 2);
        QVERIFY(host->SetActivePage(0));
        host->m_nCurSel = 0;
        host->LayoutPages();
    }

    void ShowActive()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    void ChooseTab(int index)
    {
        QTabBar *tabs = host->TabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }

    std::unique_ptr<QDialog> window;
    CPageTabCtrl *host = nullptr;
};

QTEST_MAIN(PageTabCtrlTest)
#include "PageTabCtrlTest.moc"
