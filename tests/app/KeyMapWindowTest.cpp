#include "app/MainDlg.h"
#include "common/ControlIds.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace MainId;

// The key-map items of the main window, through its menu's actions, against the virtual module.
class KeyMapWindowTest : public QObject {
    Q_OBJECT

    // Answers the modal dialogs the action opens: the file dialog with the path, a question with Yes.
    void TriggerAnswering(const char *action, const QString &path, bool byKey = false)
    {
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *files = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                name->setText(path);
                QTest::keyClick(name, Qt::Key_Return);
            } else if (auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                questions << question->text();
                question->button(QMessageBox::Yes)->click();
            }
        });
        answer.start(20);
        if (byKey) {
            QApplication::setActiveWindow(dialog.get());
            QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
            QTest::keySequence(dialog.get(), dialog->findChild<QAction *>(action)->shortcut());
        } else {
            dialog->findChild<QAction *>(action)->trigger();
        }
    }

    QByteArray FileBytes(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::vector<std::uint8_t> Records() const { return {module.Memory().begin() + 28, module.Memory().begin() + 37}; }

private slots:
    void savesTheSessionsKeysAndLoadsThemIntoAModule()
    {
        QTemporaryDir folder;
        QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), folder.filePath(QStringLiteral("confight.ini")));
        AddStandardModule(backend, module);
        CRecordingSink sink;
        dialog = std::make_unique<CMainDlg>(backend, folder.filePath(QStringLiteral("confight.ini")).toStdString());
        dialog->show();
        const QString saved = folder.filePath(QStringLiteral("keys.txt"));
        dialog->findChild<QAction *>("saveKeyMap")->trigger();
        QCOMPARE(sink.messages, std::vector<std::string>{"未找到有效模块，请先查找模块！"});

        // The module holds KEY-2 = MLKey, long-press "no" and 30 ms; this session writes KEY-1 from
        // the untouched keyboard page (its media flag needs the raw form) and KEY-3 = DEL.
        std::copy_n(std::begin({0x41, 0x01, 0x00}), 3, module.Memory().begin() + 31);
        module.Memory()[6] = 1;
        module.Memory()[12] = 30;
        dialog->Items().Item<QPushButton>(kFindModule)->click();
        dialog->Items().Item<QPushButton>(kWriteKey)->click();
        dialog->Items().SetCurSel(kKeyList, 2);
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("1025")), Qt::LeftButton);
        dialog->Items().Item<QPushButton>(kWriteKey)->click();
        dialog->Items().Item<QPushButton>(kClearLog)->click();
        // Ctrl+S, a name without a suffix: saved with ".txt", and the log names the file.
        TriggerAnswering("saveKeyMap", saved.chopped(4), true);
        QCOMPARE(dialog->Items().Item<QListWidget>(kLog)->item(0)->text(), QStringLiteral("已保存到 ") + saved);
        QByteArray expected = "# Tavrin key map\nKEY-1 (raw 00 20 00) = \nKEY-2 = MLKey\nKEY-3 = DEL\n";
        for (const char *key : {"4 (raw 00", "5 (raw 00", "6 (raw 00", "7 (raw 00", "8 (raw 00"})
            expected += QByteArray("KEY-") + key + " 00 00) = \n";
        expected += "long-press = no\ndebounce = 30\nwork-mode = 0\nbaud = 0\n";
        QCOMPARE(FileBytes(saved), expected);

        // Into a blank module: every key and the parameters, then one verify line.
        module.Memory().fill(0);
        module.SetMarker(CVirtualModule::kValidMarker);
        TriggerAnswering("loadKeyMap", saved);
        QCOMPARE(questions, QStringList{QStringLiteral("将向模块写入 8 个按键的键值和参数（长按连发、按键消抖），是否继续？")});
        QCOMPARE(Records(), (std::vector<std::uint8_t>{0x00, 0x20, 0x00, 0x41, 0x01, 0x00, 0x02, 0x00, 0x4C}));
        const auto *log = dialog->Items().Item<QListWidget>(kLog);
        QCOMPARE(log->count(), 10);
        QCOMPARE(log->item(9)->text(), QStringLiteral("校验：模块中 8 个可读按键和参数与键值文件一致"));
        const QString again = folder.filePath(QStringLiteral("again.txt"));
        TriggerAnswering("saveKeyMap", again);
        QCOMPARE(FileBytes(again), expected);
        QCOMPARE(sink.messages, (std::vector<std::string>{"未找到有效模块，请先查找模块！", " 配置写入完成"}));

        // A module that acknowledges the writes but keeps nothing: the verify line names what differs.
        module.Memory().fill(0);
        module.SetMarker(CVirtualModule::kValidMarker);
        module.faults.forgetWrites = true;
        TriggerAnswering("loadKeyMap", saved);
        QCOMPARE(log->item(log->count() - 1)->text(),
                 QStringLiteral("校验失败：模块中 KEY-1、KEY-2、KEY-3、long-press、debounce 与键值文件不一致"));
        dialog.reset();
    }

    // A line the page refuses is one message box, with the page's reason, and nothing is written.
    void aLineThePageRefusesIsOneMessage()
    {
        QTemporaryDir folder;
        QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), folder.filePath(QStringLiteral("confight.ini")));
        CVirtualModule valid;
        valid.SetMarker(CVirtualModule::kValidMarker);
        CVirtualHidBackend devices;
        AddStandardModule(devices, valid);
        CRecordingSink sink;
        dialog = std::make_unique<CMainDlg>(devices, folder.filePath(QStringLiteral("confight.ini")).toStdString());
        dialog->show();
        dialog->Items().Item<QPushButton>(kFindModule)->click();
        const QString path = folder.filePath(QStringLiteral("bad.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("KEY-1 = ENTER\nKEY-2 = MLKey+Wheel Forward = -200\n");
        file.close();
        const int writes = valid.Writes();
        TriggerAnswering("loadKeyMap", path);
        QCOMPARE(sink.messages, std::vector<std::string>{"键值文件第 2 行不能写入：KEY-2 = MLKey+Wheel Forward = -200"
                                                         "（滚动刻度数值设置过小,设置值不应小于-128）"});
        QCOMPARE(valid.Writes(), writes);
        dialog.reset();
    }

private:
    CVirtualModule module;
    CVirtualHidBackend backend;
    std::unique_ptr<CMainDlg> dialog;
    QStringList questions;
};

QTEST_MAIN(KeyMapWindowTest)
#include "KeyMapWindowTest.moc"
