#pragma once

#include "app/KeyTableHost.h"
#include "app/KeyTablePlacement.h"
#include "app/SystemMenu.h"
#include "device/DeviceLink.h"
#include "device/DeviceOperations.h"
#include "device/ModuleWatcher.h"
#include "keymap/KeyMap.h"
#include "resources/DialogItems.h"
#include "settings/ModuleSettings.h"

#include <QDialog>
#include <QIcon>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QAction;
class CKeyTableDlg;
class CPageTabCtrl;
class IHidBackend;
class IKeyPage;
class QScrollArea;
class QTimer;

// The main window: header, the tab host with the three key pages, parameters, operations and the
// log list. Every button runs its operation synchronously in its click handler.
class CMainDlg final : public QDialog, public IKeyTableHost {
    Q_OBJECT
public:
    // settings: where the settings are loaded at start and saved on cancel.
    CMainDlg(IHidBackend &backend, SettingsLocation settings, QWidget *parent = nullptr);
    ~CMainDlg() override;

    CDialogItems &Items() { return m_items; }
    CPageTabCtrl &Tab() { return *m_tab; }
    bool ConfigFound() const { return m_bConfigFound != 0; }
    // Sizes the window to its template where area holds it; otherwise to area, with the content
    // scrolling inside so that every control can still be reached.
    void FitToArea(const QSize &area);

    void AddLogLine(const QString &line) override;
    void ClearLog();
    void ShowAboutBox();
    // The two key-map items beside the about item.
    void SaveKeyMap();
    void LoadKeyMap();
    // What this session wrote to each key.
    const KeyMap &WrittenKeys() const override { return m_writtenKeys; }
    // What "保存键值文件" saves after a valid query: the module's readable keys and parameters as
    // the query read them, with the keys written since on top.
    KeyMap ModuleKeyMap() const;
    // Writes a checked map as "载入并写入键值文件" does (progress, stop at the first failure, its
    // messages); true when everything went through.
    bool WriteKeyMap(const KeyMap &map) override;
    // Queries once more without touching a control and logs one line: whether the module holds the map.
    void VerifyKeyMap(const KeyMap &map) override;
    // The keys the last valid query listed (none before), and the settings' key count.
    int ListedKeys() const override { return m_operations.ListedKeys(); }
    int KeyCount() const override { return m_operations.KeyCount(); }
    // What the last valid query read.
    const ModuleSnapshot *LastReading() const override { return m_operations.LastReading(); }
    // The rest of what the key table may ask of the window (app/KeyTableHost.h).
    std::string ModuleName() const override;
    bool ShowEntry(const KeyMapEntry &entry) override;
    void RunOperation(const std::function<void()> &operation) override;
    ModuleReading ReadModuleAgain() override;
    // Opens the key table beside the window, or brings it to the front.
    void ShowKeyTable();
    // Where the key table goes on a screen whose available area is area, and what that depends on.
    KeyTableSurroundings KeyTableSurroundingsOn(const QRect &area) const;
    CKeyTableDlg *KeyTable() const { return m_pKeyTable; }

signals:
    // A key went to the module (its index); WrittenKeys() holds it.
    void KeyWritten(int keyIndex);
    // A search, a reset or the module watcher may have changed the module and its listed keys.
    void ModuleChanged();
    // The module was read again without touching a control: the check after a key map was written.
    void ModuleRead(const ModuleSnapshot &reading);

public:

    // Follows the modules the system announces: one plugged in while none is open is searched for
    // and queried by itself, the open one pulled out is closed with the buttons disabled; the
    // same module back keeps the chosen key and parameters.
    void WatchModules(std::unique_ptr<IModuleWatcher> watcher);
    // The same with a watcher made once the window has been shown: setting one up is no part of
    // the time a user waits for the window.
    using WatcherMaker = std::unique_ptr<IModuleWatcher> (*)();
    void WatchModulesOnceShown(WatcherMaker makeWatcher);

    // An operation on the module, from its first check to its last message: while one runs, in
    // every dialog, message box and progress it shows, the watcher's events wait, and they are
    // handled when the outermost one ends; then the device buttons show whether a module is open.
    class COperation {
    public:
        explicit COperation(CMainDlg &dialog);
        ~COperation();
        COperation(const COperation &) = delete;
        COperation &operator=(const COperation &) = delete;

    private:
        CMainDlg &m_dialog;
    };
    // Whether the module the operation began on is still there: the watcher's latest events are
    // read, and a removal of it among them means it is not. Says nothing.
    bool ModuleStillThere() override;

    // Cancel (Esc, the close box): save the parameters, then close.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void OnInitDialog();
    void AddSystemMenuItem();
    void CreateKeyMapActions();
    void OpenContextMenuByKey();
    void KeepFrameOnScreen();
    bool ModuleFound();
    void ColourLabels();
    void CreatePages();
    void ApplyParameters();
    void ConnectCommands();
    void GiveButtonsShortcuts();
    void CreateKeyTable(bool narrow);
    IKeyPage *PageOfKind(PageKind kind) const;
    int CurrentPageKind() const;
    void OnModuleEvents();
    void TakeModuleEvents();
    void HandleQueuedEvents();
    void HandleModuleEvent(const ModuleEvent &event);
    bool IsOpenModule(const ModuleEvent &event) const;
    void BindOpenModule();
    // The same line in the words given for a match and for differences.
    void VerifyKeyMap(const KeyMap &map, const char *matches, const char *differs);

    int m_nLogCount = 0;
    CPageTabCtrl *m_tab = nullptr;
    QScrollArea *m_scroll;
    CDialogItems m_items;
    CDeviceLink m_link;
    CDeviceOperations m_operations;
    int m_bConfigFound = 1;
    SettingsLocation m_settings;
    QIcon m_hIcon;
    KeyMap m_writtenKeys;
    KeyMap m_writtenSinceQuery;
    QAction *m_pSaveKeyMap = nullptr;
    QAction *m_pLoadKeyMap = nullptr;
    QAction *m_pKeyTableAction = nullptr;
    CKeyTableDlg *m_pKeyTable = nullptr;
    CSystemMenu m_systemMenu;
    bool m_bPlaced = false; // the frame is known and inside the screen
    std::unique_ptr<IModuleWatcher> m_pWatcher;
    QObject *m_pModuleNotifier = nullptr;
    QTimer *m_pSettleTimer = nullptr;
    int m_nOperations = 0;
    std::vector<ModuleEvent> m_queuedEvents; // taken while an operation ran, not yet handled
    // The module the link is open on, and the node it is open on.
    struct OpenModule {
        WatchedModule watched;
        std::string node;
    };
    std::optional<OpenModule> m_openModule;
    // The module pulled out last: back again, it keeps the window's choices.
    std::optional<ModuleIdentity> m_leftModule;
    WatcherMaker m_pMakeWatcher = nullptr;
};
