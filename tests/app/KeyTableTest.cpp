#include "app/KeyTableDlg.h"
#include "app/MainDlg.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "keymap/KeyMapReader.h"
#include "resources/KeyTableTemplate.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

using namespace KeyTableId;

// The key table against the demo's virtual module, and on files alone.
class KeyTableTest : public QObject {
    Q_OBJECT

    QString WriteFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    static QByteArray FileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QString Cell(int row, int column) const
    {
        const QTableWidgetItem *item = table->Table()->item(row, column);
        return item ? item->text() : QString();
    }

    // Types text into a file cell as a user does: the editor opens, the text goes in, Enter commits.
    QLineEdit *TypeIntoFileCell(int row, const QString &text, bool commit = true)
    {
        QTableWidget *grid = table->Table();
        grid->setCurrentCell(row, CKeyTableDlg::kFileColumn);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2);
        auto *edit = qobject_cast<QLineEdit *>(grid->indexWidget(grid->currentIndex()));
        if (!edit)
            return nullptr;
        edit->selectAll();
        QTest::keyClicks(edit, text);
        if (commit) {
            QTest::keyClick(edit, Qt::Key_Return);
            QCoreApplication::processEvents(); // the editor hands its text over after the key
        }
        return edit;
    }

    QStringList LogLines() const
    {
        QStringList lines;
        const auto *log = dialog->Items().Item<QListWidget>(MainId::kLog);
        for (int row = 0; row < log->count(); ++row)
            lines << log->item(row)->text();
        return lines;
    }

private slots:
    void init()
    {
        QFile::remove(folder.filePath(QStringLiteral("confight.ini")));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), folder.filePath(QStringLiteral("confight.ini"))));
        QFile::setPermissions(folder.filePath(QStringLiteral("confight.ini")), QFile::ReadOwner | QFile::WriteOwner);
        module = std::make_unique<CVirtualModule>();
        backend = std::make_unique<CVirtualHidBackend>();
        AddStandardModule(*backend, *module);
        dialog = std::make_unique<CMainDlg>(*backend, folder.filePath(QStringLiteral("confight.ini")).toStdString());
        dialog->show();
    }

    void cleanup()
    {
        table = nullptr;
        dialog.reset();
        backend.reset();
        module.reset();
    }

    // Without a module: open a file, edit a row with the reader's rules as the text is typed,
    // save it (".txt" added, a log line naming the path); write and verify stay off, saying why.
    void opensEditsAndSavesAFileWithoutAModule()
    {
        CRecordingSink sink;
        QApplication::setActiveWindow(dialog.get());
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QTest::keySequence(dialog.get(), QKeySequence(Qt::CTRL | Qt::Key_K));
        table = dialog->KeyTable();
        QVERIFY(table && table->isVisible());
        for (const int id : {kWriteAll, kVerify}) {
            QVERIFY(!table->Items().IsWindowEnabled(id));
            QVERIFY(!table->Items().GetDlgItem(id)->toolTip().isEmpty());
        }
        const QString path = WriteFile(QStringLiteral("keys.txt"),
                                       "KEY-1 = DEL\nKEY-5 (raw 44 41 00) = MLKey\ndebounce = 40\n");
        QVERIFY(table->OpenFile(path));
        QCOMPARE(table->Table()->rowCount(), 5 + 2); // KEY-1..KEY-5, then the two parameters
        // Plain words in the cell, the record's bytes in its tooltip.
        QCOMPARE(Cell(4, CKeyTableDlg::kFileColumn), QStringLiteral("MLKey"));
        QVERIFY(table->Table()->item(4, CKeyTableDlg::kFileColumn)->toolTip().contains(QStringLiteral("44 41 00")));
        QCOMPARE(Cell(6, CKeyTableDlg::kFileColumn), QStringLiteral("40"));

        // A text the page refuses is marked in the editor as it is typed, and no longer once mended.
        QLineEdit *edit = TypeIntoFileCell(1, QStringLiteral("Wheel Forward = 128"), false);
        QVERIFY(edit);
        QVERIFY(edit->property("invalid").toBool());
        QTest::keyClick(edit, Qt::Key_Backspace);
        QVERIFY(!edit->property("invalid").toBool());
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        TypeIntoFileCell(6, QStringLiteral("5"));
        QCOMPARE(Cell(6, CKeyTableDlg::kMarkColumn), QStringLiteral("!"));
        QVERIFY(!table->Table()->item(6, CKeyTableDlg::kMarkColumn)->data(Qt::AccessibleTextRole).toString().isEmpty());
        QVERIFY(!table->SaveTo(folder.filePath(QStringLiteral("refused"))));
        QCOMPARE(sink.messages.size(), 1u);
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("refused.txt"))));

        TypeIntoFileCell(6, QStringLiteral("50"));
        QCOMPARE(Cell(6, CKeyTableDlg::kMarkColumn), QString());
        QVERIFY(table->SaveTo(folder.filePath(QStringLiteral("edited"))));
        const QString saved = folder.filePath(QStringLiteral("edited.txt"));
        QCOMPARE(FileBytes(saved), QByteArray("# Tavrin key map\nKEY-1 = DEL\nKEY-2 = Wheel Forward = 12\n"
                                              "KEY-5 (raw 44 41 00) = MLKey\ndebounce = 50\n"));
        QCOMPARE(LogLines(), QStringList{QStringLiteral("已保存到 ") + saved});
    }

    // The printable sheet holds every key's line, read back from the PDF and the HTML file.
    void exportsEveryKeyAsPdfAndHtml()
    {
        CRecordingSink sink;
        dialog->ShowKeyTable();
        table = dialog->KeyTable();
        QVERIFY(table->OpenFile(WriteFile(QStringLiteral("sheet.txt"),
                                          "KEY-1 = CTRL+ALT+DEL\nKEY-2 = MLKey+MoveUp(10)Pixel\nKEY-3 = GameKey3\n"
                                          "KEY-4 (raw 03 20 00) = \nKEY-12 (keyboard) = <b>&amp;\nlong-press = no\n")));
        const QString pdf = folder.filePath(QStringLiteral("sheet.pdf"));
        const QString html = folder.filePath(QStringLiteral("sheet.html"));
        QVERIFY(table->ExportPdf(pdf));
        QVERIFY(table->ExportHtml(html));
        QVERIFY(sink.messages.empty());
        // A folder is no file to print to: said so, and not logged as saved.
        QVERIFY(!table->ExportPdf(folder.path()));
        QCOMPARE(sink.messages.size(), 1u);
        QCOMPARE(LogLines().size(), 2);

        QTextDocument page;
        page.setHtml(QString::fromUtf8(FileBytes(html)));
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is missing (Debian package poppler-utils): the PDF is not read back");
        QProcess reader;
        reader.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(reader.waitForFinished(30000));
        const QString pdfText = QString::fromUtf8(reader.readAllStandardOutput());
        const QStringList lines = {"KEY-1 CTRL+ALT+DEL", "KEY-2 MLKey+MoveUp(10)Pixel", "KEY-3 GameKey3",
                                   "KEY-4 (空)", "KEY-12 <b>&amp;", "长按连击 否"};
        for (const QString &text : {page.toPlainText(), pdfText}) {
            const QString flat = text.simplified();
            for (const char *syntax : {"(raw", "(keyboard)", " = "})
                QVERIFY2(!flat.contains(QLatin1String(syntax)), qPrintable(flat));
            for (const QString &line : lines)
                QVERIFY2(flat.contains(line), qPrintable(line + QStringLiteral(" not in: ") + flat));
        }
    }

    // Enter or a double click on a row shows its key on the page that produces the record, so that
    // "键值写入" writes exactly that record; a record only the raw form gives gets the closest page and a note.
    void activatingARowSetsUpThePageThatWritesItsRecord_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("tab");
        QTest::addColumn<bool>("exact");
        QTest::newRow("keyboard key") << "KEY-3 = CTRL+SHIFT+F5" << 0 << true;
        QTest::newRow("typed code") << "KEY-3 = ALT+HID(200)" << 0 << true;
        QTest::newRow("character") << "KEY-3 = a+WIN" << 0 << true;
        QTest::newRow("mouse move") << "KEY-3 = MRKey+Move Left(7)Pixel" << 1 << true;
        QTest::newRow("wheel") << "KEY-3 = MMKey+Wheel Forward = 3" << 1 << true;
        QTest::newRow("gamepad") << "KEY-3 = GameKey2" << 2 << true;
        QTest::newRow("raw mouse") << "KEY-3 (raw 42 41 00) = MLKey" << 1 << false;
    }

    void activatingARowSetsUpThePageThatWritesItsRecord()
    {
        QFETCH(QString, line);
        QFETCH(int, tab);
        QFETCH(bool, exact);
        CRecordingSink sink;
        dialog->Items().Item<QPushButton>(MainId::kFindModule)->click();
        dialog->ShowKeyTable();
        table = dialog->KeyTable();
        const std::string hint = table->Items().GetDlgItemText(kNote);
        QVERIFY(table->OpenFile(WriteFile(QStringLiteral("row.txt"), line.toUtf8())));
        const std::optional<KeyMap> expected = ParseKeyMap(line.toStdString(), kMaxKeyCount).map;
        QVERIFY(expected);
        table->Table()->setCurrentCell(2, CKeyTableDlg::kKeyColumn);
        QTest::keyClick(table->Table(), Qt::Key_Return);
        QVERIFY(table->isVisible());
        QCOMPARE(dialog->Items().GetCurSel(MainId::kKeyList), 2);
        QCOMPARE(dialog->Tab().m_nCurSel, tab);
        // The note says where the page is not exact; otherwise the hint on using the table is back.
        QCOMPARE(table->Items().GetDlgItemText(kNote) == hint, exact);

        dialog->Items().Item<QPushButton>(MainId::kWriteKey)->click();
        const KeyRecord written{module->Memory()[34], module->Memory()[35], module->Memory()[36]};
        QCOMPARE(written == expected->keys.front().record, exact);
        QCOMPARE(Cell(2, CKeyTableDlg::kMarkColumn).isEmpty(), exact);
        QVERIFY(sink.messages.empty());
    }

    // After a search the module column shows what the virtual module holds; an edited file column
    // written with "写入全部" lands in the module, and the table reads it back.
    void showsTheModuleAndWritesTheFileColumnToIt()
    {
        CRecordingSink sink;
        const std::uint8_t records[] = {0x00, 0x00, 0x4C, 0x41, 0x41, 0x00, 0x82, 0x03, 0x00};
        std::copy(std::begin(records), std::end(records), module->Memory().begin() + 28);
        dialog->Items().Item<QPushButton>(MainId::kFindModule)->click();
        dialog->ShowKeyTable();
        table = dialog->KeyTable();
        QVERIFY(table->Items().IsWindowEnabled(kWriteAll) && table->Items().IsWindowEnabled(kVerify));
        QCOMPARE(table->Table()->rowCount(), 8 + 2);
        for (int row = 0; row < 8; ++row) {
            const QString entry = table->Table()->item(row, CKeyTableDlg::kModuleColumn)->data(Qt::EditRole).toString();
            const KeyCell cell = ReadKeyCell(row, entry.toStdString());
            QCOMPARE(int(cell.state), int(CellState::Valid));
            const auto *memory = module->Memory().data() + 28 + 3 * row;
            QVERIFY2(cell.entry.record == (KeyRecord{memory[0], memory[1], memory[2]}), qPrintable(Cell(row, 1)));
        }
        QCOMPARE(Cell(2, CKeyTableDlg::kModuleColumn), QStringLiteral("GameKey3"));

        QVERIFY(table->OpenFile(WriteFile(QStringLiteral("all.txt"), "KEY-1 = CTRL+ALT+DEL\nKEY-2 = GameKey3\n")));
        QCOMPARE(Cell(0, CKeyTableDlg::kMarkColumn), QStringLiteral("≠"));
        TypeIntoFileCell(2, QStringLiteral("MLKey+MoveUp(10)Pixel"));
        QStringList questions;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                questions << box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        answer.start(20);
        const qsizetype logged = LogLines().size();
        table->Items().Item<QPushButton>(kWriteAll)->click();
        QCOMPARE(questions, QStringList{QStringLiteral("将把 all.txt 中 3 个按键的键值写入模块，是否继续？")});
        const std::optional<KeyMap> expected =
            ParseKeyMap("KEY-1 = CTRL+ALT+DEL\nKEY-2 = GameKey3\nKEY-3 = MLKey+MoveUp(10)Pixel\n", 8).map;
        QVERIFY(expected);
        for (const KeyMapEntry &entry : expected->keys) {
            const auto *memory = module->Memory().data() + 28 + 3 * entry.keyIndex;
            QVERIFY(entry.record == (KeyRecord{memory[0], memory[1], memory[2]}));
        }
        const QStringList log = LogLines().mid(logged);
        QCOMPARE(log.size(), 4); // three keys, then whether the module holds them
        QVERIFY(!log.last().startsWith(QStringLiteral("KEY-")));
        for (int row = 0; row < 3; ++row) {
            QCOMPARE(Cell(row, CKeyTableDlg::kModuleColumn), Cell(row, CKeyTableDlg::kFileColumn));
            QCOMPARE(Cell(row, CKeyTableDlg::kMarkColumn), QString());
        }
        QVERIFY(sink.messages.empty());

        // Saving the module's column takes what the module holds, not the file.
        table->Items().SetCurSel(kContent, 0);
        QVERIFY(table->SaveTo(folder.filePath(QStringLiteral("module.txt"))));
        const QByteArray saved = FileBytes(folder.filePath(QStringLiteral("module.txt")));
        QVERIFY2(saved.contains("KEY-3 = MLKey+MoveUp(10)Pixel\nKEY-4 (raw 00 00 00) = \n"), saved.constData());

        // The check after the window wrote a key map reads the module: its column follows.
        const std::uint8_t del[] = {0x03, 0x00, 0x4C}; // KEY-4 becomes DEL
        std::copy(std::begin(del), std::end(del), module->Memory().begin() + 28 + 3 * 3);
        dialog->VerifyKeyMap(*expected);
        QCOMPARE(Cell(3, CKeyTableDlg::kModuleColumn), QStringLiteral("DEL"));

        // "校验" sees a change made behind the table's back, and no control of the window moves.
        module->Memory()[28 + 1] = 0x00; // CTRL+ALT+DEL becomes DEL
        const int selected = dialog->Items().GetCurSel(MainId::kKeyList);
        table->Items().Item<QPushButton>(kVerify)->click();
        QCOMPARE(Cell(0, CKeyTableDlg::kMarkColumn), QStringLiteral("≠"));
        QVERIFY(table->Items().GetDlgItemText(kNote).find("KEY-1") != std::string::npos);
        QCOMPARE(dialog->Items().GetCurSel(MainId::kKeyList), selected);

        // "校验" compares every item the file names, a parameter without a row included.
        module->Memory()[3] = 4;
        QVERIFY(table->OpenFile(WriteFile(QStringLiteral("mode.txt"), "KEY-1 = DEL\nwork-mode = 2\n")));
        table->Items().Item<QPushButton>(kVerify)->click();
        QVERIFY(table->Items().GetDlgItemText(kNote).find("work-mode") != std::string::npos);

        // A typo is marked with the reader's reason and fix as it is typed; nothing is written.
        const auto memory = module->Memory();
        TypeIntoFileCell(3, QStringLiteral("CTRL+ALT+DELL"));
        QCOMPARE(Cell(3, CKeyTableDlg::kMarkColumn), QStringLiteral("!"));
        const QString why = table->Table()->item(3, CKeyTableDlg::kFileColumn)->toolTip();
        QVERIFY2(why.contains(QStringLiteral("CTRL+ALT+DEL？")), qPrintable(why));
        QVERIFY2(why.contains(QStringLiteral("(keyboard) = CTRL+ALT+DELL")), qPrintable(why));
        questions.clear();
        table->Items().Item<QPushButton>(kWriteAll)->click();
        QVERIFY(questions.isEmpty());
        QCOMPARE(sink.messages.size(), 1u);
        const std::string &told = sink.messages[0];
        QVERIFY2(told.find("KEY-4") != std::string::npos && told.find(why.toStdString()) != std::string::npos, told.c_str());
        QVERIFY(module->Memory() == memory);
    }

private:
    QTemporaryDir folder;
    std::unique_ptr<CVirtualModule> module;
    std::unique_ptr<CVirtualHidBackend> backend;
    std::unique_ptr<CMainDlg> dialog;
    CKeyTableDlg *table = nullptr;
};

QTEST_MAIN(KeyTableTest)
#include "KeyTableTest.moc"
