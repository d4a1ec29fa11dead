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
    void TriggerAnswering(const char *action, const QString &path)
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
        dialog->findChild<QAction *>(action)->trigger();
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

        // KEY-1 from the untouched keyboard page (its media flag needs the raw form), KEY-3 = DEL.
        dialog->Items().Item<QPushButton>(kFindModule)->click();
        dialog->Items().Item<QPushButton>(kWriteKey)->click();
        dialog->Items().SetCurSel(kKeyList, 2);
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("1025")), Qt::LeftButton);
        dialog->Items().Item<QPushButton>(kWriteKey)->click();
        dialog->Items().Item<QPushButton>(kClearLog)->click();
        TriggerAnswering("saveKeyMap", saved);
        const QByteArray expected = "# Tavrin key map\nKEY-1 (raw 00 20 00) = \nKEY-3 = DEL\n";
        QCOMPARE(FileBytes(saved), expected);

        module.Memory().fill(0);
        module.SetMarker(CVirtualModule::kValidMarker);
        TriggerAnswering("loadKeyMap", saved);
        QCOMPARE(questions, QStringList{QStringLiteral("将向模块写入 2 个按键的键值，是否继续？")});
        QCOMPARE(Records(), (std::vector<std::uint8_t>{0x00, 0x20, 0x00, 0, 0, 0, 0x02, 0x00, 0x4C}));
        const auto *log = dialog->Items().Item<QListWidget>(kLog);
        QCOMPARE(log->count(), 2);
        QCOMPARE(log->item(0)->text() + log->item(1)->text(), QStringLiteral("KEY-1 = KEY-3 = DEL"));
        const QString again = folder.filePath(QStringLiteral("again.txt"));
        TriggerAnswering("saveKeyMap", again);
        QCOMPARE(FileBytes(again), expected);
        QCOMPARE(sink.messages.size(), 1u);
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
