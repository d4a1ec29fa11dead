#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class CPageDlg;
class QTabBar;
struct PageClass;

// A tab control that owns one child page per tab: it creates each page from its class record as
// its own child, shows one page at a time below the tabs and keeps the index of the tab the user
// last chose in m_nCurSel.
class CPageTabCtrl final : public QWidget {
    Q_OBJECT
public:
    explicit CPageTabCtrl(QWidget *parent = nullptr);

    // Creates a page of pageClass from template templateId (low 16 bits) and gives it a tab.
    // Returns the new tab index, or -1 when the page cannot be created; it then gets no tab.
    int AddPage(const PageClass &pageClass, const QString &title, int templateId, int imageIndex);
    // Shows the page of tab index and selects that tab; false when index names no page.
    bool SetActivePage(int index);
    // Shows the next page (step 1) or the one before (-1), going round. Ctrl+Tab and Ctrl+Shift+Tab
    // (or Ctrl+PgDn and Ctrl+PgUp, outside a list) do it anywhere in the host's window.
    void StepPage(int step);
    // Puts the tab row along the top and every page into the area below it.
    void LayoutPages();

    // The page made from pageClass, or nullptr when none was: the tab index of a page kind shifts
    // when an earlier page failed, so callers can check which page a tab really holds.
    CPageDlg *PageOf(const PageClass &pageClass) const;
    CPageDlg *PageAt(int index) const;
    QTabBar *TabBar() const { return m_pTabBar; }

    // The tab the user last chose; the owner sets it once after showing the first page.
    int m_nCurSel = 0;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct PageEntry {
        CPageDlg *pPage;
        const PageClass *pClass;
        QString strTitle;
        int nImage;
    };

    void OnSelChange();

    QTabBar *m_pTabBar;
    std::vector<PageEntry> m_pages;
    CPageDlg *m_pCurPage = nullptr;
};
