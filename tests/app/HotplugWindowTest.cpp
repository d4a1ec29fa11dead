#include "app/KeyTableDlg.h"
#include "app/MainDlg.h"
#include "common/ControlIds.h"
#include "common/MessageSink.h"
#include "resources/KeyTableTemplate.h"
#include "sim/VirtualHidBackend.h"
#include "support/FakeModuleWatcher.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace MainId;
using Kind = ModuleEvent::Kind;

namespace {
constexpr const char *kSearchFirst = "未找到有效模块，请先查找模块！";

// Records each message and, as a message box does, runs the event loop while it is open; what
// the test does inside the next box happens there.
class CBoxSink final : public IMessageSink {
public:
    CBoxSink() : m_scope(*this) {}
    void ShowMessage(const UserText &text) override
    {
        messages.push_back(ComposeText(text));
        if (inside)
            std::exchange(inside, {})();
        QCoreApplication::processEvents();
    }
    std::vector<std::string> messages;
    std::function<void()> inside;

private:
    CMessageSinkScope m_scope;
};

// A virtual module at two made-up nodes of one USB device, without a serial.
struct Module {
    CVirtualModule memory;
    ModuleIdentity identity;
    std::vector<std::string> nodes;
};
} // namespace

// The window's reactions to modules coming and going while it works, with a watcher the test
// drives: inside a file dialog, a message box or a map write, events wait for the operation.
class HotplugWindowTest : public QObject {
    Q_OBJECT

    void Plug(Module &module, Kind kind = Kind::Arrived)
    {
        module.memory.faults.absent = kind == Kind::Removed;
        watcher->Announce(kind, module.identity, module.nodes);
    }
    void Swap()
    {
        Plug(*module, Kind::Removed);
        Plug(*other);
    }

    // Triggers a window action on a map file and answers its dialogs: the file dialog with the
    // file, a question with Yes; inside() runs in the first dialog of the kind inside names.
    void TriggerAnswering(const char *action, const char *content, char insideOf, const std::function<void()> &inside)
    {
        StartAnswering([&] { dialog->findChild<QAction *>(action)->trigger(); }, content, insideOf, inside);
    }
    void StartAnswering(const std::function<void()> &start, const char *content, char insideOf,
                        const std::function<void()> &inside)
    {
        const QString path = folder->filePath(QStringLiteral("map.txt"));
        QFile file(path);
        if (*content && file.open(QIODevice::WriteOnly))
            file.write(content);
        file.close();
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if ((files && insideOf == 'f') || (question && insideOf == 'q')) {
                insideOf = 0;
                inside();
                QCoreApplication::processEvents();
            }
            if (files) {
                files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
                QTest::keyClick(files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
            } else if (question) {
                question->button(QMessageBox::Yes)->click();
            }
        });
        answer.start(20);
        start();
    }

    QStringList Log() const
    {
        QStringList lines;
        for (int row = 0; row < dialog->Items().Item<QListWidget>(kLog)->count(); ++row)
            lines << dialog->Items().Item<QListWidget>(kLog)->item(row)->text();
        return lines;
    }
    bool ButtonsEnabled() const { return dialog->Items().IsWindowEnabled(kWriteKey); }
    void FindModuleOnArrival()
    {
        Plug(*module);
        QTRY_VERIFY(ButtonsEnabled());
    }
    static std::vector<std::uint8_t> Records(const Module &module)
    {
        return {module.memory.Memory().begin() + 28, module.memory.Memory().begin() + 37};
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        const QString settings = folder->filePath(QStringLiteral("confight.ini"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        sink = std::make_unique<CBoxSink>();
        module = std::make_unique<Module>(Module{{}, {"/usb/1-1", ""}, {"/dev/hidraw0", "/dev/hidraw1"}});
        other = std::make_unique<Module>(Module{{}, {"/usb/1-2", ""}, {"/dev/hidraw2", "/dev/hidraw3"}});
        backend = std::make_unique<CVirtualHidBackend>();
        for (Module *each : {module.get(), other.get()}) {
            each->memory.faults.absent = true;
            each->memory.SetMarker(CVirtualModule::kValidMarker);
            backend->AddInterface(each->memory, 0x0B05, 0x185F, 1, each->nodes[0]);
            backend->AddInterface(each->memory, 0x0B05, 0x185F, 2, each->nodes[1]);
        }
        dialog = std::make_unique<CMainDlg>(*backend, settings.toStdString());
        auto fake = std::make_unique<CFakeModuleWatcher>();
        watcher = fake.get();
        dialog->WatchModules(std::move(fake));
        dialog->show();
    }

    void cleanup()
    {
        dialog.reset();
        sink.reset(); // before the next test's sink, which takes its place
    }

    // Pulled out inside the save dialog, or swapped for another inside the write's confirmation:
    // the operation stops with its own words and touches neither module; when it has ended the
    // removal is handled and the other module is found afresh.
    void aModuleGoneInsideADialogStopsTheOperation()
    {
        FindModuleOnArrival();
        TriggerAnswering("saveKeyMap", "", 'f', [&] { Plug(*module, Kind::Removed); });
        QVERIFY(!QFile::exists(folder->filePath(QStringLiteral("map.txt"))));
        QCOMPARE(Log().last(), QStringLiteral("模块已拔出：KORVA SB V2.2（/dev/hidraw1），设备操作按钮已禁用"));
        QCOMPARE(dialog->Items().Item<QComboBox>(kModuleName)->currentText(), QStringLiteral("KORVA SB V2.2（已拔出）"));
        QVERIFY(!ButtonsEnabled());

        FindModuleOnArrival();
        TriggerAnswering("loadKeyMap", "KEY-1 = ENTER\n", 'q', [&] { Swap(); });
        QCOMPARE(sink->messages, std::vector<std::string>(2, kSearchFirst));
        QCOMPARE(Records(*other), std::vector<std::uint8_t>(9, 0));
        QCOMPARE(Log().last(), QStringLiteral("模块已插入：KORVA SB V2.2（/dev/hidraw3），8 个按键"));
    }

    // Swapped while a map is being written: the write stops where it was, says so in one line,
    // and the module that came gets none of the rest.
    void aSwapInsideTheMapWriteStopsIt()
    {
        FindModuleOnArrival();
        connect(dialog.get(), &CMainDlg::KeyWritten, this, [&](int key) {
            if (key == 1)
                Swap();
        });
        TriggerAnswering("loadKeyMap", "KEY-1 = ENTER\nKEY-2 = ENTER\nKEY-3 = ENTER\n", 0, {});
        QCOMPARE(sink->messages, std::vector<std::string>{});
        QCOMPARE(Records(*module), (std::vector<std::uint8_t>{0x00, 0x00, 0x28, 0x01, 0x00, 0x28, 0, 0, 0}));
        QCOMPARE(Records(*other), std::vector<std::uint8_t>(9, 0));
        QCOMPARE(Log().mid(3), (QStringList{QStringLiteral("模块已拔出，键值文件的写入已停止；已写入：KEY-1、KEY-2"),
                                            QStringLiteral("模块已拔出：KORVA SB V2.2（/dev/hidraw1），设备操作按钮已禁用"),
                                            QStringLiteral("模块已插入：KORVA SB V2.2（/dev/hidraw3），8 个按键")}));
    }

    // Swapped inside the key table's save dialog: the file holds the module column as it was
    // shown, and the other module is taken only after the save.
    void aSwapInsideTheKeyTablesSaveKeepsWhatWasShown()
    {
        std::copy_n("\x00\x00\x28", 3, other->memory.Memory().begin() + 28); // KEY-1 = ENTER
        FindModuleOnArrival();
        dialog->findChild<QAction *>(QStringLiteral("keyTable"))->trigger();
        auto *save = dialog->KeyTable()->findChild<QWidget *>(QString::number(KeyTableId::kSave));
        StartAnswering([&] { QTest::mouseClick(save, Qt::LeftButton); }, "", 'f', [&] { Swap(); });
        QFile saved(folder->filePath(QStringLiteral("map.txt")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY2(bytes.contains("KEY-1 (keyboard) = \n") && !bytes.contains("ENTER"), bytes.constData());
        QCOMPARE(Log().last(), QStringLiteral("模块已插入：KORVA SB V2.2（/dev/hidraw3），8 个按键"));
    }

    // Plugged in while "模块不在线" is open: once it is closed, the module is found and the device
    // buttons work.
    void anArrivalInsideTheNotOnlineBoxEnablesTheButtons()
    {
        sink->inside = [&] { Plug(*module); };
        QTest::mouseClick(dialog->Items().GetDlgItem(kFindModule), Qt::LeftButton);
        QCOMPARE(sink->messages, std::vector<std::string>{"模块不在线"});
        QVERIFY(ButtonsEnabled());
    }

    // Swapped while the reset's closing box is open: the search after it is not run on the other.
    void aSwapInsideTheResetsBoxStopsTheSearchAfterIt()
    {
        FindModuleOnArrival();
        sink->inside = [&] { Swap(); };
        QTest::mouseClick(dialog->Items().GetDlgItem(kFactoryReset1), Qt::LeftButton);
        QCOMPARE(sink->messages, (std::vector<std::string>{"恢复出厂1设置完成", "模块不在线"}));
        QCOMPARE(Log().last(), QStringLiteral("模块已插入：KORVA SB V2.2（/dev/hidraw3），8 个按键"));
    }

    // The same module back keeps the chosen key; another one is a fresh search.
    void theSameModuleBackKeepsTheKeyAnotherDoesNot()
    {
        auto *keys = dialog->Items().Item<QComboBox>(kKeyList);
        FindModuleOnArrival();
        keys->setCurrentIndex(2);
        Plug(*module, Kind::Removed);
        QTRY_VERIFY(!ButtonsEnabled());
        FindModuleOnArrival();
        QCOMPARE(keys->currentIndex(), 2);
        QCOMPARE(Log().last(), QStringLiteral("模块已重新插入：KORVA SB V2.2（/dev/hidraw1），8 个按键，所选按键和参数不变"));
        Swap();
        QTRY_COMPARE(Log().last(), QStringLiteral("模块已插入：KORVA SB V2.2（/dev/hidraw3），8 个按键"));
        QCOMPARE(keys->currentIndex(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<CBoxSink> sink;
    std::unique_ptr<Module> module;
    std::unique_ptr<Module> other;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMainDlg> dialog;
    CFakeModuleWatcher *watcher = nullptr;
};

QTEST_MAIN(HotplugWindowTest)
#include "HotplugWindowTest.moc"
