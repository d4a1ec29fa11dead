#include "app/PageTabCtrl.h"

#include "pages/PageClass.h"
#include "pages/PageDlg.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>

namespace {
constexpr int kTabRowWithoutItems = 22;
constexpr int kBelowTabs = 4; // gap between the tab items and the pages
constexpr int kMargin = 2;    // left, right and half the bottom margin of a page

// A page that becomes current takes the focus into its first control that Tab would reach, as a
// dialog does; a page without one takes it itself.
void FocusFirstControl(QWidget *page)
{
    // The page's controls follow the tab row, not the page itself (FollowInTabOrder): go round.
    for (QWidget *w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(page) && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    page->setFocus(Qt::TabFocusReason);
}

// The last control of the pages already placed after the tab row, or the tab row itself.
QWidget *LastPageControl(QWidget *host, QTabBar *bar)
{
    QWidget *last = bar;
    for (QWidget *w = bar->nextInFocusChain(); host->isAncestorOf(w) && !bar->isAncestorOf(w);
         w = w->nextInFocusChain())
        last = w;
    return last;
}

// A page is built after the window's other controls, so its controls would come last in the tab
// order. They follow the tab row (and the pages before) instead: Tab goes from the tabs into the
// page shown and from its last control on to the window's next one.
void FollowInTabOrder(QWidget *previous, QWidget *page)
{
    QList<QWidget *> controls;
    for (QWidget *w = page->nextInFocusChain(); page->isAncestorOf(w); w = w->nextInFocusChain()) {
        if (w->focusPolicy() != Qt::NoFocus && !w->focusProxy())
            controls.append(w);
    }
    for (QWidget *control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

// Ctrl+Tab and Ctrl+PgDn choose the next tab, Ctrl+Shift+Tab and Ctrl+PgUp the one before, as in
// a property sheet.
struct PageKey {
    QKeySequence keys;
    int step;
    bool listKeepsIt; // a list that has the focus takes the key for itself
};
const PageKey kPageKeys[] = {
    {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1, false},
    {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1, false},
    {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1, true},
    {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1, true},
};
} // namespace

CPageTabCtrl::CPageTabCtrl(QWidget *parent) : QWidget(parent), m_pTabBar(new QTabBar(this))
{
    // Tabs as wide as their titles, as a tab control draws them.
    m_pTabBar->setExpanding(false);
    UseDialogStyle(m_pTabBar);
    connect(m_pTabBar, &QTabBar::currentChanged, this, &CPageTabCtrl::OnSelChange);
    // From every control of the window the host is in, not only from inside the host; a list keeps
    // Ctrl+PgDn and Ctrl+PgUp for itself.
    for (const PageKey &pageKey : kPageKeys) {
        auto *shortcut = new QShortcut(pageKey.keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step = pageKey.step] { StepPage(step); });
        if (pageKey.listKeepsIt) {
            connect(qApp, &QApplication::focusChanged, shortcut, [shortcut](QWidget *, QWidget *now) {
                shortcut->setEnabled(!qobject_cast<QAbstractItemView *>(now));
            });
        }
    }
}

int CPageTabCtrl::AddPage(const PageClass &pageClass, const QString &title, int templateId, int imageIndex)
{
    // A page can only be built from the template its class was made for.
    if ((templateId & 0xFFFF) != pageClass.templateId || !pageClass.create)
        return -1;
    QWidget *previous = LastPageControl(this, m_pTabBar);
    CPageDlg *page = pageClass.create(this);
    if (!page)
        return -1;
    FollowInTabOrder(previous, page);
    // A screen reader announces the page by its tab's title when the focus enters it.
    page->setAccessibleName(title);
    const int index = static_cast<int>(m_pages.size());
    m_pages.push_back(PageEntry{page, &pageClass, title, imageIndex});
    page->hide();
    // The first tab becomes current by itself; that is no choice of the user's. There is no image
    // list, so the image index is only kept.
    const QSignalBlocker blocker(m_pTabBar);
    m_pTabBar->insertTab(index, title);
    return index;
}

bool CPageTabCtrl::SetActivePage(int index)
{
    CPageDlg *page = PageAt(index);
    if (!page)
        return false;
    if (page == m_pCurPage)
        return true;
    if (m_pCurPage) {
        m_pCurPage->setEnabled(false);
        m_pCurPage->hide();
    }
    page->setEnabled(true);
    page->show();
    FocusFirstControl(page);
    m_pCurPage = page;
    const QSignalBlocker blocker(m_pTabBar);
    m_pTabBar->setCurrentIndex(index);
    return true;
}

void CPageTabCtrl::LayoutPages()
{
    m_pTabBar->setGeometry(0, 0, width(), m_pTabBar->sizeHint().height());
    const int tabHeight = m_pTabBar->count() > 0 ? m_pTabBar->tabRect(0).height() + kBelowTabs : kTabRowWithoutItems;
    const QRect area(kMargin, tabHeight, width() - 2 * kMargin, height() - 2 * kMargin - tabHeight);
    for (const PageEntry &entry : m_pages)
        entry.pPage->setGeometry(area);
    if (m_pCurPage)
        m_pCurPage->show();
}

CPageDlg *CPageTabCtrl::PageOf(const PageClass &pageClass) const
{
    for (const PageEntry &entry : m_pages) {
        if (entry.pClass == &pageClass)
            return entry.pPage;
    }
    return nullptr;
}

CPageDlg *CPageTabCtrl::PageAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_pages.size()))
        return nullptr;
    return m_pages[static_cast<std::size_t>(index)].pPage;
}

void CPageTabCtrl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    LayoutPages();
}

void CPageTabCtrl::StepPage(int step)
{
    const int count = m_pTabBar->count();
    if (count == 0)
        return;
    // A choice of the user's, as a click on the tab would be.
    m_pTabBar->setCurrentIndex((m_pTabBar->currentIndex() + step + count) % count);
}

void CPageTabCtrl::OnSelChange()
{
    m_nCurSel = m_pTabBar->currentIndex();
    SetActivePage(m_nCurSel);
}
