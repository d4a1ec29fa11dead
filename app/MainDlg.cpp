#include "app/MainDlg.h"

#include "app/AboutDlg.h"
#include "app/EntryOnPage.h"
#include "app/FileDialog.h"
#include "app/KeyMapSave.h"
#include "app/KeyTableDlg.h"
#include "app/MessageBox.h"
#include "app/ModuleNotifier.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "device/KeyMapApply.h"
#include "device/ModuleSearch.h"
#include "keymap/KeyMapFile.h"
#include "keymap/ModuleConfig.h"
#include "pages/GamePadSettingDig.h"
#include "pages/KeyboardSettingDlg.h"
#include "pages/MouseSettingDlg.h"
#include "resources/AppIcon.h"
#include "resources/KeyTableTemplate.h"
#include "resources/MainTemplate.h"
#include "settings/ModuleSettings.h"
#include "translations/Translation.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {
using namespace MainId;

constexpr const char *kSaveKeyMapText = QT_TRANSLATE_NOOP("Tavrin", "保存键值文件(&S)...");
constexpr const char *kLoadKeyMapText = QT_TRANSLATE_NOOP("Tavrin", "载入并写入键值文件(&L)...");
constexpr const char *kSaveKeyMapTitle = QT_TRANSLATE_NOOP("Tavrin", "保存键值文件");
constexpr const char *kLoadKeyMapTitle = QT_TRANSLATE_NOOP("Tavrin", "载入并写入键值文件");
constexpr const char *kKeyMapFilter = QT_TRANSLATE_NOOP("Tavrin", "键值文件 (*.txt);;所有文件 (*)");
constexpr const char *kKeyTableText = QT_TRANSLATE_NOOP("Tavrin", "键值表…");
constexpr const char *kSearchFirst = QT_TRANSLATE_NOOP("Tavrin", "未找到有效模块，请先查找模块！");
constexpr const char *kConfirmKeys = QT_TRANSLATE_N_NOOP("Tavrin", "将向模块写入 %1 个按键的键值，是否继续？");
constexpr const char *kConfirmKeysAndParameters =
    QT_TRANSLATE_N_NOOP("Tavrin", "将向模块写入 %1 个按键的键值和参数（长按连发、按键消抖），是否继续？");
constexpr const char *kWritingKeyMap = QT_TRANSLATE_NOOP("Tavrin", "正在写入键值...");
constexpr const char *kParametersWritten = QT_TRANSLATE_NOOP("Tavrin", " 配置写入完成");
constexpr const char *kVerifyMatches = QT_TRANSLATE_NOOP("Tavrin", "校验：模块中 %1 个可读按键和参数与键值文件一致");
constexpr const char *kVerifyDiffers = QT_TRANSLATE_NOOP("Tavrin", "校验失败：模块中 %1 与键值文件不一致");
constexpr const char *kVerifyUnreadable = QT_TRANSLATE_NOOP("Tavrin", "（另有 %1 个按键超出模块的应答，无法校验）");
constexpr const char *kVerifyNoReply = QT_TRANSLATE_NOOP("Tavrin", "校验失败：模块没有应答");
constexpr const char *kReplugMatches = QT_TRANSLATE_NOOP("Tavrin", "重新插入后核对：本次写入的 %1 个按键与模块一致");
constexpr const char *kReplugDiffers = QT_TRANSLATE_NOOP("Tavrin", "重新插入后核对：模块中 %1 与拔出前写入的不一致");
constexpr const char *kVerifyInvalid = QT_TRANSLATE_NOOP("Tavrin", "校验失败：此模块非法");
constexpr const char *kMapStopped = QT_TRANSLATE_NOOP("Tavrin", "模块已拔出，键值文件的写入已停止；已写入：%1");
constexpr const char *kMapStoppedEmpty = QT_TRANSLATE_NOOP("Tavrin", "模块已拔出，键值文件的写入已停止；没有写入任何按键");
// What each factory configuration writes (device/ModuleCommands.cpp has its bytes).
constexpr const char *kFactoryReset1Tip = QT_TRANSLATE_NOOP(
    "Tavrin", "恢复出厂1：按键1至9发送 F1 至 F9，模式为键鼠组合，串口禁用，长按连击为否，按键消抖 40 MS");
constexpr const char *kFactoryReset2Tip = QT_TRANSLATE_NOOP(
    "Tavrin", "恢复出厂2：按键1至4发送游戏杆按键1至4，模式为单游戏柄，波特率 9600，长按连击为否，按键消抖 40 MS");

// The key-map items beside the about item in the system menu.
constexpr int kIdmSaveKeyMap = 32;
constexpr int kIdmLoadKeyMap = 48;

// The tab host takes the place of control 1021 in the template.
QWidget *MakeTabHost(const ControlTemplate &control, QWidget *parent)
{
    return control.id == kTabHost ? new CPageTabCtrl(parent) : nullptr;
}

// Room the window manager's frame and title bar take around the window, which is not known
// before the window is shown.
constexpr QSize kFrameAllowance(16, 40);

// Where a frame moves to lie inside area: as little as it must, and with its top-left corner (the
// title bar and the close box) inside where it cannot fit whole.
QPoint PlaceInside(const QRect &frame, const QRect &area)
{
    const int x = std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1));
    return {x, y};
}

// The window's controls live on one content widget that a frameless scroll area holds.
QScrollArea *MakeScrollArea(QWidget *parent)
{
    auto *scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    // The scroll area is no control of its own; it brings the control Tab moves to into view.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(new QWidget);
    auto *layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return scroll;
}

void SetLabelColour(QWidget *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

CMainDlg::CMainDlg(IHidBackend &backend, SettingsLocation settings, QWidget *parent)
    : QDialog(parent), m_scroll(MakeScrollArea(this)), m_items(MainDlgTemplate(), m_scroll->widget(), MakeTabHost),
      m_link(backend), m_operations(m_link, m_items), m_settings(std::move(settings))
{
    m_tab = qobject_cast<CPageTabCtrl *>(m_items.GetDlgItem(kTabHost));
    m_hIcon = AppIcon();
    setWindowTitle(m_scroll->widget()->windowTitle());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    FitToArea(screen()->availableGeometry().size() - kFrameAllowance);
    OnInitDialog();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::FitToArea(const QSize &area)
{
    const QSize content = m_scroll->widget()->size();
    if (content.width() <= area.width() && content.height() <= area.height()) {
        setFixedSize(content);
        return;
    }
    // A scroll bar on one side takes room from the other.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize withBars(content.width() + (content.height() > area.height() ? bar : 0),
                         content.height() + (content.width() > area.width() ? bar : 0));
    setMinimumSize(QSize(4 * bar, 4 * bar).boundedTo(area));
    setMaximumSize(withBars);
    resize(withBars.boundedTo(area));
}

void CMainDlg::OnInitDialog()
{
    AddSystemMenuItem();
    CreateKeyMapActions();
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
    m_systemMenu.Add(*this, {{kIdmAboutBox, TranslatedText(kAboutMenuText), [this] { ShowAboutBox(); }},
                             {kIdmSaveKeyMap, TranslatedText(kSaveKeyMapText), [this] { SaveKeyMap(); }},
                             {kIdmLoadKeyMap, TranslatedText(kLoadKeyMapText), [this] { LoadKeyMap(); }}});
}

// The items are actions of the window, so their shortcuts work from every control, and the
// background's context menu shows them (by the menu key or Shift+F10 too).
void CMainDlg::CreateKeyMapActions()
{
    m_pSaveKeyMap = new QAction(TranslatedText(kSaveKeyMapText), this);
    m_pSaveKeyMap->setObjectName(QStringLiteral("saveKeyMap"));
    m_pSaveKeyMap->setShortcut(QKeySequence::Save);
    connect(m_pSaveKeyMap, &QAction::triggered, this, &CMainDlg::SaveKeyMap);
    m_pLoadKeyMap = new QAction(TranslatedText(kLoadKeyMapText), this);
    m_pLoadKeyMap->setObjectName(QStringLiteral("loadKeyMap"));
    m_pLoadKeyMap->setShortcut(QKeySequence::Open);
    connect(m_pLoadKeyMap, &QAction::triggered, this, &CMainDlg::LoadKeyMap);
    m_pKeyTableAction = new QAction(TranslatedText(kKeyTableText), this);
    m_pKeyTableAction->setObjectName(QStringLiteral("keyTable"));
    m_pKeyTableAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    connect(m_pKeyTableAction, &QAction::triggered, this, &CMainDlg::ShowKeyTable);
    // Shift+F10 does what the menu key does: the focused control's context menu, else the window's.
    auto *contextMenuKey = new QAction(this);
    contextMenuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    connect(contextMenuKey, &QAction::triggered, this, &CMainDlg::OpenContextMenuByKey);
    addActions({m_pSaveKeyMap, m_pLoadKeyMap, m_pKeyTableAction, contextMenuKey});
    m_operations.SetKeyWritten([this](int keyIndex, const KeyRecord &record, const std::string &text) {
        SetKey(m_writtenKeys, {keyIndex, record, text});
        SetKey(m_writtenSinceQuery, {keyIndex, record, text});
        emit KeyWritten(keyIndex);
    });
    m_operations.SetQueried([this] { m_writtenSinceQuery = {}; });
    m_operations.SetModuleStillThere([this] { return ModuleStillThere(); });
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
        // A search, and a reset that went through, query the module anew.
        const bool queries = id == kFindModule || id == kFactoryReset1 || id == kFactoryReset2;
        connect(m_items.Item<QPushButton>(id), &QPushButton::clicked, this, [this, operation = operation, queries] {
            const COperation running(*this);
            (m_operations.*operation)();
            if (queries)
                emit ModuleChanged();
        });
    }
    connect(m_items.Item<QPushButton>(kClearLog), &QPushButton::clicked, this, &CMainDlg::ClearLog);
    GiveButtonsShortcuts();
    connect(m_items.Item<QPushButton>(kKeyTable), &QPushButton::clicked, this, &CMainDlg::ShowKeyTable);
    m_operations.SetLog([this](const std::string &line) { AddLogLine(QString::fromStdString(line)); });
}

// The main buttons' keys, named in their tooltips; the captions stay as the template has them.
// The factory resets' tooltips say what each restores.
// "键值表…" is the window's action, whose key works where the button is out of sight too.
void CMainDlg::GiveButtonsShortcuts()
{
    const std::pair<int, QKeySequence> keys[] = {
        {kFindModule, QKeySequence(Qt::Key_F5)},          {kWriteKey, QKeySequence(Qt::CTRL | Qt::Key_Return)},
        {kWriteParameters, QKeySequence(Qt::CTRL | Qt::Key_P)}, {kClearLog, QKeySequence(Qt::CTRL | Qt::Key_L)},
        {kKeyTable, m_pKeyTableAction->shortcut()},
    };
    for (const auto &[id, key] : keys) {
        auto *button = m_items.Item<QPushButton>(id);
        if (id != kKeyTable)
            button->setShortcut(key);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
    }
    m_items.GetDlgItem(kFactoryReset1)->setToolTip(TranslatedText(kFactoryReset1Tip));
    m_items.GetDlgItem(kFactoryReset2)->setToolTip(TranslatedText(kFactoryReset2Tip));
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

void CMainDlg::WatchModules(std::unique_ptr<IModuleWatcher> watcher)
{
    m_pWatcher = std::move(watcher);
    if (!m_pWatcher)
        return;
    m_pModuleNotifier = NotifyWhenReady(m_pWatcher->Ready(), this, [this] { OnModuleEvents(); });
    m_pSettleTimer = new QTimer(this);
    m_pSettleTimer->setSingleShot(true);
    connect(m_pSettleTimer, &QTimer::timeout, this, &CMainDlg::OnModuleEvents);
}

void CMainDlg::WatchModulesOnceShown(WatcherMaker makeWatcher)
{
    m_pMakeWatcher = makeWatcher;
}

CMainDlg::COperation::COperation(CMainDlg &dialog) : m_dialog(dialog)
{
    ++m_dialog.m_nOperations;
}

CMainDlg::COperation::~COperation()
{
    // The outermost operation ends: what the watcher said meanwhile is handled now, still counted
    // as an operation, so that events coming while it is handled wait for their turn.
    if (m_dialog.m_nOperations == 1)
        m_dialog.HandleQueuedEvents();
    --m_dialog.m_nOperations;
}

void CMainDlg::OnModuleEvents()
{
    const COperation handling(*this);
    TakeModuleEvents();
}

void CMainDlg::TakeModuleEvents()
{
    if (!m_pWatcher)
        return;
    for (ModuleEvent &event : m_pWatcher->TakeEvents())
        m_queuedEvents.push_back(std::move(event));
    // A module with an interface still missing arrives when its settle time is over.
    if (const int settle = m_pWatcher->MillisecondsToSettle(); settle >= 0)
        m_pSettleTimer->start(settle);
}

void CMainDlg::HandleQueuedEvents()
{
    BindOpenModule();
    const bool any = !m_queuedEvents.empty();
    while (!m_queuedEvents.empty()) {
        const ModuleEvent event = std::move(m_queuedEvents.front());
        m_queuedEvents.erase(m_queuedEvents.begin());
        HandleModuleEvent(event);
    }
    EnableDeviceButtons(m_items, m_link.IsOpen());
    if (any)
        emit ModuleChanged();
}

// The link's module as the watcher knows it, from the first time the link is seen open on a node.
void CMainDlg::BindOpenModule()
{
    if (!m_link.IsOpen() || (m_openModule && m_openModule->node == m_link.OpenPath()))
        return;
    std::optional<WatchedModule> watched = m_pWatcher ? m_pWatcher->ModuleOf(m_link.OpenPath()) : std::nullopt;
    if (!watched)
        watched = WatchedModule{{{}, m_link.OpenSerial()}, {m_link.OpenPath()}};
    m_openModule = OpenModule{std::move(*watched), m_link.OpenPath()};
}

bool CMainDlg::IsOpenModule(const ModuleEvent &event) const
{
    if (!m_openModule)
        return false;
    const std::string &usbDevice = m_openModule->watched.module.usbDevice;
    return (!usbDevice.empty() && event.module.usbDevice == usbDevice) ||
           std::find(event.nodes.begin(), event.nodes.end(), WatchedNode(m_openModule->node)) != event.nodes.end();
}

void CMainDlg::HandleModuleEvent(const ModuleEvent &event)
{
    if (event.kind == ModuleEvent::Kind::Removed) {
        if (!IsOpenModule(event))
            return;
        m_operations.ModuleRemoved(m_openModule->watched.module.serial, m_openModule->node);
        m_leftModule = m_openModule->watched.module;
        m_openModule.reset();
        return;
    }
    if (m_link.IsOpen())
        return;
    const bool returning = m_leftModule && event.module.IsSameModule(*m_leftModule);
    const bool listed = m_operations.ModuleArrived(returning);
    BindOpenModule();
    if (m_link.IsOpen())
        m_leftModule.reset();
    // The re-plug the notice asks for: did the module keep what this session wrote?
    if (listed && returning && !m_writtenKeys.keys.empty())
        VerifyKeyMap(m_writtenKeys, kReplugMatches, kReplugDiffers);
}

bool CMainDlg::ModuleStillThere()
{
    TakeModuleEvents();
    BindOpenModule();
    return m_link.IsOpen() && std::none_of(m_queuedEvents.begin(), m_queuedEvents.end(), [&](const ModuleEvent &event) {
               return event.kind == ModuleEvent::Kind::Removed && IsOpenModule(event);
           });
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

// Like "键值写入", the key-map items need a module that a valid query listed, and that is still
// there: checked before each step that follows a dialog.
bool CMainDlg::ModuleFound()
{
    if (m_operations.Valid() && ModuleStillThere())
        return true;
    ShowMessage(kSearchFirst);
    return false;
}

KeyMap CMainDlg::ModuleKeyMap() const
{
    KeyMap map = KeyMapOfModule(*m_operations.LastReading());
    for (const KeyMapEntry &entry : m_writtenSinceQuery.keys)
        SetKey(map, entry);
    return map;
}

void CMainDlg::SaveKeyMap()
{
    const COperation running(*this);
    if (!ModuleFound())
        return;
    const QString path = AskSavePath(this, kSaveKeyMapTitle, kKeyMapFilter, QString(), QLatin1String(kKeyMapSuffix));
    if (!path.isEmpty() && ModuleFound())
        SaveKeyMapAndLog(path, ModuleKeyMap(), [this](const QString &line) { AddLogLine(line); });
}

void CMainDlg::LoadKeyMap()
{
    const COperation running(*this);
    if (!ModuleFound())
        return;
    const QString path = AskOpenPath(this, kLoadKeyMapTitle, kKeyMapFilter, QString());
    if (path.isEmpty() || !ModuleFound())
        return;
    const std::optional<KeyMap> map = LoadKeyMapFile(path.toStdString(), m_operations.ListedKeys());
    if (!map)
        return;
    const int count = static_cast<int>(map->keys.size());
    const QString question = QString::fromStdString(
        TranslateText({map->HasParameters() ? kConfirmKeysAndParameters : kConfirmKeys, {std::to_string(count)}, count}));
    if (QMessageBox::question(this, MessageBoxTitle(), question) != QMessageBox::Yes)
        return;
    if (WriteKeyMap(*map))
        VerifyKeyMap(*map);
}

bool CMainDlg::WriteKeyMap(const KeyMap &map)
{
    const COperation running(*this);
    // After the confirmation: the module it asked about must still be the one there.
    if (!ModuleFound())
        return false;
    QProgressDialog progress(TranslatedText(kWritingKeyMap), QString(), 0, static_cast<int>(map.keys.size()), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    QStringList written;
    bool lost = false;
    // A copy of the query ModuleFound made sure of: the proof stays whatever the device events do
    // meanwhile.
    const ValidQuery valid = *m_operations.Valid();
    const ModuleParameters kept = KeptParameters(valid.Snapshot(), m_operations.ControlParameters());
    // Once the module has gone, the link is closed and the map's remaining writes fail unsaid, so
    // that none goes to the module that may have come in its place.
    m_link.SetFailureReport([&](TransportFailure failure) {
        if (!lost)
            ShowTransportFailure(failure);
    });
    const ApplyOutcome outcome = ApplyKeyMap(m_link, valid, map, kept, [&](const KeyMapEntry &entry) {
        m_operations.LogKeyWritten(entry.keyIndex, entry.record, entry.text);
        written << QString::fromStdString(KeyName(entry.keyIndex));
        progress.setValue(static_cast<int>(written.size()));
        lost = !ModuleStillThere();
        if (lost)
            m_link.Close();
    });
    m_link.SetFailureReport(ShowTransportFailure);
    if (lost || (outcome.result == WriteResult::Failed && !ModuleStillThere())) {
        AddLogLine(written.isEmpty() ? TranslatedText(kMapStoppedEmpty)
                                     : TranslatedText(kMapStopped).arg(written.join(QStringLiteral("、"))));
        return false;
    }
    if (outcome.result != WriteResult::Done) {
        ShowMessage(DescribeApplyFailure(outcome));
        return false;
    }
    if (outcome.parameters) {
        m_operations.ShowParameters(*outcome.parameters);
        ShowMessage(kParametersWritten);
    }
    return true;
}

// Queries once more without touching a control, and logs whether the module holds the map.
void CMainDlg::VerifyKeyMap(const KeyMap &map)
{
    VerifyKeyMap(map, kVerifyMatches, kVerifyDiffers);
}

void CMainDlg::VerifyKeyMap(const KeyMap &map, const char *matches, const char *differs)
{
    const ModuleReading reading = ReadModule(m_link, m_operations.KeyCount());
    if (!reading.valid) {
        AddLogLine(TranslatedText(reading.status == QueryStatus::NoReply ? kVerifyNoReply : kVerifyInvalid));
        return;
    }
    emit ModuleRead(reading.valid->Snapshot());
    const VerifyReport report = CompareWithModule(map, reading.valid->Snapshot());
    QString line;
    if (report.Matches()) {
        line = TranslatedText(matches).arg(report.comparedKeys);
    } else {
        QStringList items;
        for (const ConfigDifference &difference : report.differences)
            items << QString::fromStdString(difference.item);
        line = TranslatedText(differs).arg(items.join(QStringLiteral("、")));
    }
    if (!report.unreadableKeys.empty())
        line += TranslatedText(kVerifyUnreadable).arg(report.unreadableKeys.size());
    AddLogLine(line);
}

KeyTableSurroundings CMainDlg::KeyTableSurroundingsOn(const QRect &area) const
{
    KeyTableSurroundings around;
    around.area = area;
    around.mainFrame = frameGeometry();
    const QRect content = geometry();
    around.frameMargins = QMargins(content.left() - around.mainFrame.left(), content.top() - around.mainFrame.top(),
                                   around.mainFrame.right() - content.right(), around.mainFrame.bottom() - content.bottom());
    const CDialogUnits units(TemplateFont(KeyTableTemplate()));
    around.tableSize = QSize(units.X(KeyTableTemplate().cx), units.Y(KeyTableTemplate().cy));
    around.pageArea = QRect(m_tab->mapToGlobal(QPoint(0, 0)), m_tab->size());
    const QWidget *find = m_items.GetDlgItem(kFindModule);
    for (const QGroupBox *frame : m_scroll->widget()->findChildren<QGroupBox *>()) {
        if (frame->geometry().contains(find->geometry()))
            around.operations = QRect(frame->mapToGlobal(QPoint(0, 0)), frame->size());
    }
    return around;
}

std::string CMainDlg::ModuleName() const
{
    return m_items.GetDlgItemText(kModuleName);
}

bool CMainDlg::ShowEntry(const KeyMapEntry &entry)
{
    if (entry.keyIndex < ListedKeys())
        m_items.SetCurSel(kKeyList, entry.keyIndex);
    const PageKind kind = PageKindOfRecord(entry.record);
    auto *page = dynamic_cast<CPageDlg *>(PageOfKind(kind));
    if (!page)
        return false;
    for (int index = 0; m_tab->PageAt(index); ++index) {
        if (m_tab->PageAt(index) == page) {
            m_tab->SetActivePage(index);
            m_tab->m_nCurSel = index;
        }
    }
    return SetPageToEntry(*page, kind, entry);
}

void CMainDlg::RunOperation(const std::function<void()> &operation)
{
    const COperation running(*this);
    operation();
}

ModuleReading CMainDlg::ReadModuleAgain()
{
    return ReadModule(m_link, ListedKeys());
}

// The table hears from the window what changed the module and its column.
void CMainDlg::CreateKeyTable(bool narrow)
{
    m_pKeyTable = new CKeyTableDlg(*this, this, narrow);
    connect(this, &CMainDlg::ModuleChanged, m_pKeyTable, &CKeyTableDlg::TakeModuleReading);
    connect(this, &CMainDlg::KeyWritten, m_pKeyTable, &CKeyTableDlg::OnKeyWritten);
    connect(this, &CMainDlg::ModuleRead, m_pKeyTable, &CKeyTableDlg::ShowReading);
}

void CMainDlg::ShowKeyTable()
{
    if (!m_pKeyTable || !m_pKeyTable->isVisible()) {
        KeyTableSurroundings around = KeyTableSurroundingsOn(screen()->availableGeometry());
        KeyTablePlacement place = PlaceKeyTable(around);
        if (place.narrow && m_scroll->verticalScrollBar()->value() != 0) {
            // The narrow form covers the pages where they stand with the content scrolled back.
            m_scroll->verticalScrollBar()->setValue(0);
            around = KeyTableSurroundingsOn(around.area);
            place = PlaceKeyTable(around);
        }
        if (!m_pKeyTable)
            CreateKeyTable(place.narrow);
        if (place.narrow)
            m_pKeyTable->setFixedSize(place.table.size());
        if (place.mainTopLeft != pos())
            move(place.mainTopLeft);
        // A window's position is that of its frame.
        m_pKeyTable->move(place.table.topLeft() - QPoint(around.frameMargins.left(), around.frameMargins.top()));
    }
    m_pKeyTable->show();
    m_pKeyTable->raise();
    m_pKeyTable->activateWindow();
}

void CMainDlg::reject()
{
    SaveSettings(m_items, m_bConfigFound != 0);
    QDialog::reject();
}

void CMainDlg::keyPressEvent(QKeyEvent *event)
{
    if (IsEnterKey(event)) {
        // Enter on a push button presses it; anywhere else it is the OK command.
        if (auto *button = qobject_cast<QPushButton *>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMainDlg::OpenContextMenuByKey()
{
    QWidget *target = focusWidget() ? focusWidget() : this;
    const QPoint pos = target->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, pos, target->mapToGlobal(pos));
    // A control that has no menu of its own passes the event on to its parents, up to the window.
    QCoreApplication::sendEvent(target, &event);
}

void CMainDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    KeepFrameOnScreen();
    // After the events that paint the window.
    if (const auto makeWatcher = std::exchange(m_pMakeWatcher, nullptr))
        QTimer::singleShot(0, this, [this, makeWatcher] { WatchModules(makeWatcher()); });
}

// The window manager adds its frame after the window is shown, which moves the window.
void CMainDlg::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    if (isVisible())
        KeepFrameOnScreen();
}

// Until the frame is known, the window is kept inside the screen's available area, title bar
// included: narrowed to it (the content then scrolls) and moved into it. Later moves are the user's.
void CMainDlg::KeepFrameOnScreen()
{
    if (m_bPlaced || !screen())
        return;
    const QRect area = screen()->availableGeometry();
    const QRect client = geometry();
    QRect frame = frameGeometry();
    const QSize frameExtra = frame.size() - client.size();
    if (client.width() > area.width() - frameExtra.width() || client.height() > area.height() - frameExtra.height()) {
        FitToArea(area.size() - frameExtra);
        frame.setSize(size() + frameExtra);
    }
    const QPoint topLeft = PlaceInside(frame, area);
    if (topLeft != frame.topLeft())
        move(topLeft);
    m_bPlaced = !frameExtra.isNull();
}

// Where the platform has no window menu a program can extend, the about item lives in the
// context menu of the window's background.
void CMainDlg::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addSeparator();
    menu.addAction(m_pSaveKeyMap);
    menu.addAction(m_pLoadKeyMap);
    menu.addAction(m_pKeyTableAction);
    menu.addAction(TranslatedText(kAboutMenuText), this, &CMainDlg::ShowAboutBox);
    menu.exec(event->globalPos());
}

bool CMainDlg::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    return m_systemMenu.Handle(eventType, message, result) || QDialog::nativeEvent(eventType, message, result);
}
