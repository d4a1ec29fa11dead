#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "pages/GamePadSettingDig.h"
#include "pages/KeyboardSettingDlg.h"
#include "pages/MouseSettingDlg.h"
#include "resources/AppIcon.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "translations/Translation.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabBar>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
using namespace MainId;

// The tab host takes the place of control 1021 in the template.
QWidget *MakeTabHost(const ControlTemplate &control, QWidget *parent)
{
    return control.id == kTabHost ? new CPageTabCtrl(parent) : nullptr;
}

void SetLabelColour(QWidget *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

CMainDlg::CMainDlg(IHidBackend &backend, SettingsLocation settings, QWidget *parent)
    : QDialog(parent), m_items(MainDlgTemplate(), this, MakeTabHost), m_link(backend), m_operations(m_link, m_items),
      m_settings(std::move(settings))
{
    m_tab = qobject_cast<CPageTabCtrl *>(m_items.GetDlgItem(kTabHost));
    m_hIcon = AppIcon();
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
    OnInitDialog();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::OnInitDialog()
{
    AddSystemMenuItem();
    setWindowIcon(m_hIcon);
    ColourLabels();
    m_nLogCount = 0;
    m_bConfigFound = LoadSettings(m_items, m_settings) ? 1 : 0;
    m_operations.SetKeyCount(g_moduleSettings.m_nKeyNum);
    CreatePages();
    ApplyParameters();
    ConnectCommands();
    // The focus starts on the first control that takes it: the tab row.
    m_tab->TabBar()->setFocus();
}

void CMainDlg::AddSystemMenuItem()
{
#ifdef Q_OS_WIN
    if (HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, kIdmAboutBox, reinterpret_cast<LPCWSTR>(TranslatedText(kAboutMenuText).utf16()));
    }
#endif
}

void CMainDlg::ColourLabels()
{
    const QColor blue(0, 69, 214);
    for (const int id : {kContact, kWeb})
        SetLabelColour(m_items.GetDlgItem(id), blue);
    for (const int id : {kNotice, kParameterNotice, kProductLabel})
        SetLabelColour(m_items.GetDlgItem(id), Qt::red);
}

void CMainDlg::CreatePages()
{
    m_tab->AddPage(KeyboardSettingDlg::Class(), TranslatedText(QT_TRANSLATE_NOOP("Tavrin", "键盘")), 130, 0);
    m_tab->AddPage(MouseSettingDlg::Class(), TranslatedText(QT_TRANSLATE_NOOP("Tavrin", "鼠标")), 131, 0);
    m_tab->AddPage(GamePadSettingDig::Class(), TranslatedText(QT_TRANSLATE_NOOP("Tavrin", "游戏杆")), 132, 0);
    m_tab->SetActivePage(0);
    m_tab->m_nCurSel = 0;
    m_tab->LayoutPages();
    m_operations.SetPages([this](PageKind kind) { return PageOfKind(kind); }, [this] { return CurrentPageKind(); });
}

void CMainDlg::ApplyParameters()
{
    m_items.SetCurSel(kBaudRate, g_moduleSettings.m_nUartBaud);
    m_items.SetCurSel(kWorkMode, g_moduleSettings.m_nWorkMode);
    m_items.SetCurSel(kTriggerLevel, g_moduleSettings.m_nPinTring);
    m_items.SetCurSel(kLongPress, g_moduleSettings.m_nKeyHold);
    m_items.SetDlgItemText(kDebounce, std::to_string(g_moduleSettings.m_nKeyDelay));
}

void CMainDlg::ConnectCommands()
{
    const std::pair<int, void (CDeviceOperations::*)()> routes[] = {
        {kFindModule, &CDeviceOperations::FindModule},         {kWriteParameters, &CDeviceOperations::WriteParameters},
        {kFactoryReset1, &CDeviceOperations::FactoryReset1},   {kFactoryReset2, &CDeviceOperations::FactoryReset2},
        {kWriteKey, &CDeviceOperations::WriteKey},
    };
    for (const auto &[id, operation] : routes) {
        connect(m_items.Item<QPushButton>(id), &QPushButton::clicked, this,
                [this, operation = operation] { (m_operations.*operation)(); });
    }
    connect(m_items.Item<QPushButton>(kClearLog), &QPushButton::clicked, this, &CMainDlg::ClearLog);
    m_operations.SetLog([this](const std::string &line) { AddLogLine(QString::fromStdString(line)); });
}

// The page registry is the truth about which page is which: a tab index shifts when an earlier
// page failed to be created.
IKeyPage *CMainDlg::PageOfKind(PageKind kind) const
{
    switch (kind) {
    case PageKind::Keyboard:
        return g_pKeyboardSettingDlg;
    case PageKind::Mouse:
        return g_pMouseSettingDlg;
    case PageKind::GamePad:
        return g_pGamePadSettingDig;
    }
    return nullptr;
}

int CMainDlg::CurrentPageKind() const
{
    const CPageDlg *page = m_tab->PageAt(m_tab->m_nCurSel);
    for (const PageKind kind : {PageKind::Keyboard, PageKind::Mouse, PageKind::GamePad}) {
        if (page && page == dynamic_cast<const CPageDlg *>(PageOfKind(kind)))
            return static_cast<int>(kind);
    }
    return -1;
}

void CMainDlg::AddLogLine(const QString &line)
{
    auto *log = m_items.Item<QListWidget>(kLog);
    log->insertItem(m_nLogCount, line);
    ++m_nLogCount;
}

void CMainDlg::ClearLog()
{
    auto *log = m_items.Item<QListWidget>(kLog);
    const int count = log->count();
    if (count <= 0)
        return;
    m_nLogCount = 0;
    for (int row = count - 1; row >= 0; --row)
        delete log->takeItem(row);
}

void CMainDlg::ShowAboutBox()
{
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::reject()
{
    SaveSettings(m_items, m_bConfigFound != 0);
    QDialog::reject();
}

void CMainDlg::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        // Enter on a push button presses it; anywhere else it is the OK command.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Where the platform has no window menu a program can extend, the about item lives in the
// context menu of the window's background.
void CMainDlg::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addSeparator();
    menu.addAction(TranslatedText(kAboutMenuText), this, &CMainDlg::ShowAboutBox);
    menu.exec(event->globalPos());
}

#ifdef Q_OS_WIN
bool CMainDlg::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    const auto *msg = static_cast<MSG *>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kIdmAboutBox) {
        ShowAboutBox();
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif
