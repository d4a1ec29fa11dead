#include "pages/KeyboardSettingDlg.h"
#include "support/RecordingSink.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include <memory>

namespace {
const QList<int> kSpecialGroup{1022, 1023, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031,
                               1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039, 1040};
const QList<int> kFnGroup{1041, 1042, 1043, 1044, 1045, 1046, 1047, 1048, 1049, 1050, 1051, 1052, 1053};
const QList<int> kMediaGroup{1054, 1055, 1056, 1057, 1058, 1059, 1060, 1061, 1062};
const QList<int> kModifiers{1016, 1017, 1018, 1019};

class KeyboardSettingDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        page = std::make_unique<KeyboardSettingDlg>(nullptr);
        page->show();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
    }

    void cleanup() { page.reset(); }

    void everyControlHasItsIdentifierAndCaption()
    {
        const QList<QPair<int, QString>> radios{
            {1022, "无"},    {1023, "Enter"},  {1024, "Esc"},    {1025, "Delete"}, {1026, "Back"},
            {1027, "Insert"}, {1028, "Home"},  {1029, "End"},    {1030, "Prtsc"},  {1031, "Power"},
            {1032, "Tab"},   {1033, "Caps"},   {1034, "PgUp"},   {1035, "PgDn"},   {1036, "空格"},
            {1037, "上"},    {1038, "下"},     {1039, "左"},     {1040, "右"},     {1041, "无"},
            {1054, "无"},    {1055, "静音"},   {1056, "停止"},   {1057, "音量加"}, {1058, "音量减"},
            {1059, "上一首"}, {1060, "下一首"}, {1061, "暂停/播放"}, {1062, "快进"}, {1067, "无"},
            {1068, "无"}};
        for (const auto &[id, caption] : radios)
            QCOMPARE(Control<QRadioButton>(id)->text(), caption);
        for (int id = 1042; id <= 1053; ++id)
            QCOMPARE(Control<QRadioButton>(id)->text(), QStringLiteral("F%1").arg(id - 1041));
        const QStringList modifierCaptions{"Ctrl", "Alt", "Shift", "WIN"};
        for (int i = 0; i < kModifiers.size(); ++i)
            QCOMPARE(Control<QCheckBox>(kModifiers[i])->text(), modifierCaptions[i]);
        QVERIFY(Control<QLineEdit>(1020));
        QVERIFY(Control<QLineEdit>(1065));

        QSet<QString> frames;
        for (const QGroupBox *frame : page->findChildren<QGroupBox *>())
            frames.insert(frame->title());
        QCOMPARE(frames, (QSet<QString>{"键盘设置（支持所有按键）", "特殊键", "Fn", "多媒体键", "组合键", "自定义"}));
        QSet<QString> labels;
        for (const QLabel *label : page->findChildren<QLabel *>())
            labels.insert(label->text());
        QCOMPARE(labels, (QSet<QString>{"数字/字母/符号", "按键HID码"}));
    }

    void radioGroupsAreAsListed()
    {
        for (const QList<int> &group : {kSpecialGroup, kFnGroup, kMediaGroup, QList<int>{1067}, QList<int>{1068}}) {
            const QSet<int> expected(group.begin(), group.end());
            for (int id : group)
                QCOMPARE(GroupOf(id), expected);
        }
    }

    void startsEmptyAndRegistered()
    {
        QCOMPARE(g_pKeyboardSettingDlg, page.get());
        for (QAbstractButton *button : page->findChildren<QAbstractButton *>())
            QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
        QVERIFY(Control<QLineEdit>(1020)->text().isEmpty());
        QVERIFY(Control<QLineEdit>(1065)->text().isEmpty());
    }

    void classRecordMakesAHiddenChildPage()
    {
        const PageClass &record = KeyboardSettingDlg::Class();
        QCOMPARE(QString(record.name), QStringLiteral("KeyboardSettingDlg"));
        QCOMPARE(record.templateId, 130);
        QWidget host;
        CPageDlg *made = record.create(&host);
        QVERIFY(qobject_cast<KeyboardSettingDlg *>(made));
        QCOMPARE(made->parentWidget(), &host);
        QVERIFY(made->isHidden());
        QCOMPARE(g_pKeyboardSettingDlg, made);
        // A page that has gone is no longer reachable; the older page does not take its place.
        delete made;
        QVERIFY(!g_pKeyboardSettingDlg);
    }

    void choosingAKeyClearsTheOtherGroups_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Delete") << 1025;
        QTest::newRow("空格") << 1036;
        QTest::newRow("F1") << 1042;
        QTest::newRow("F12") << 1053;
        QTest::newRow("静音") << 1055;
        QTest::newRow("快进") << 1062;
        QTest::newRow("media 无") << 1054;
    }

    void choosingAKeyClearsTheOtherGroups()
    {
        QFETCH(int, key);
        // A key of every group checked and both fields in use, as code could leave them.
        for (int id : {1031, 1047, 1059})
            Check(id, true);
        Check(1067, false);
        Check(1068, false);

        Click(key);

        QVERIFY(Checked(key));
        for (const QList<int> &group : {kSpecialGroup, kFnGroup, kMediaGroup}) {
            const int expected = group.contains(key) ? key : group.first();
            for (int id : group)
                QVERIFY2(Checked(id) == (id == expected), qPrintable(QString::number(id)));
        }
        QVERIFY(Checked(1067));
        QVERIFY(Checked(1068));
    }

    void specialOrFunctionNoneChangesNothingElse()
    {
        for (int id : {1031, 1047, 1059})
            Check(id, true);
        Click(1022);
        QVERIFY(Checked(1022) && !Checked(1031));
        Click(1041);
        QVERIFY(Checked(1041) && !Checked(1047));
        QVERIFY(Checked(1022));
        QVERIFY(Checked(1059));
        QVERIFY(!Checked(1067));
        QVERIFY(!Checked(1068));
    }

    void pressOnAFieldTakesItIntoUse_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("charNone");
        QTest::addColumn<bool>("codeNone");
        QTest::newRow("character field") << 1020 << false << true;
        QTest::newRow("code field") << 1065 << true << false;
    }

    void pressOnAFieldTakesItIntoUse()
    {
        QFETCH(int, field);
        QFETCH(bool, charNone);
        QFETCH(bool, codeNone);
        Click(1025);
        for (int id : {1047, 1059})
            Check(id, true);
        Control<QLineEdit>(1020)->setText("abc");
        Control<QLineEdit>(1065)->setText("41");
        auto *edit = Control<QLineEdit>(field);
        const QString text = edit->text();
        edit->setCursorPosition(0);

        // A press that reached the edit would put the caret where it landed and select nothing, and
        // so would moving on with the button down. The edit compares a move's height with where it
        // last saw a press (its top left, for a fresh edit), so the press stays near the top.
        const QPoint start(3, 4);
        QTest::mousePress(edit, Qt::LeftButton, Qt::NoModifier, start);
        QTest::mouseMove(edit, start + QPoint(2, 0));
        QTest::mouseRelease(edit, Qt::LeftButton, Qt::NoModifier, start + QPoint(2, 0));

        QCOMPARE(QApplication::focusWidget(), edit);
        QCOMPARE(edit->selectedText(), text);
        QCOMPARE(edit->cursorPosition(), text.size());
        QCOMPARE(Control<QLineEdit>(1020)->text(), QStringLiteral("abc"));
        QCOMPARE(Control<QLineEdit>(1065)->text(), QStringLiteral("41"));
        for (const QList<int> &group : {kSpecialGroup, kFnGroup, kMediaGroup}) {
            for (int id : group)
                QVERIFY2(Checked(id) == (id == group.first()), qPrintable(QString::number(id)));
        }
        QCOMPARE(Checked(1067), charNone);
        QCOMPARE(Checked(1068), codeNone);

        // The whole text is selected, so the next keystroke replaces it.
        QTest::keyClick(edit, Qt::Key_Z);
        QCOMPARE(edit->text(), QStringLiteral("z"));
    }

    void typingTickingAndFieldRadiosChangeNothingElse()
    {
        Control<QLineEdit>(1065)->setText("41");
        Click(1045);
        Check(1067, false);
        const QList<bool> before = AllChecks();

        QTest::keyClicks(Control<QWidget>(1020), "q");
        Click(1016);
        Click(1016);
        Click(1068);

        QCOMPARE(AllChecks(), before);
        QCOMPARE(Control<QLineEdit>(1020)->text(), QStringLiteral("q"));
        QCOMPARE(Control<QLineEdit>(1065)->text(), QStringLiteral("41"));

        // A radio never clears a field either.
        Click(1067);
        QVERIFY(Checked(1067));
        QCOMPARE(Control<QLineEdit>(1020)->text(), QStringLiteral("q"));
    }

    void assignmentReadsThePage()
    {
        Click(1025);
        Click(1017);
        Click(1016);
        QCOMPARE(Assign(), QStringLiteral("0x05 0x4c CTRL+ALT+DEL"));

        Click(1016);
        Click(1017);
        Click(1020);
        QTest::keyClicks(Control<QWidget>(1020), "A");
        QCOMPARE(Assign(), QStringLiteral("0x50 0x04 A"));

        CRecordingSink sink;
        Control<QLineEdit>(1020)->setText(QStringLiteral("键"));
        QCOMPARE(Assign(), QStringLiteral("refused: “键”不是英文键盘上的字符，键值未写入！"));
        QVERIFY(sink.messages.empty()); // the window shows it

        Click(1057);
        Click(1018);
        QCOMPARE(Assign(), QStringLiteral("0x20 0x01 VOL_UP"));
    }

private:
    template <class T> T *Control(int id) const
    {
        T *control = page->findChild<T *>(QString::number(id));
        if (!control)
            qFatal("control %d missing", id);
        return control;
    }

    // Buttons take clicks only on their indicator and caption, so click the indicator.
    void Click(int id)
    {
        QWidget *button = Control<QWidget>(id);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }

    bool Checked(int id) const { return Control<QAbstractButton>(id)->isChecked(); }
    void Check(int id, bool checked) { Control<QAbstractButton>(id)->setChecked(checked); }

    QList<bool> AllChecks() const
    {
        QList<bool> checks;
        for (const QAbstractButton *button : page->findChildren<QAbstractButton *>())
            checks.append(button->isChecked());
        return checks;
    }

    QSet<int> GroupOf(int id) const
    {
        QSet<int> ids;
        for (const QAbstractButton *member : Control<QAbstractButton>(id)->group()->buttons())
            ids.insert(member->objectName().toInt());
        return ids;
    }

    // The page's answer as "flags code description", or "refused: " and its reason.
    QString Assign() const
    {
        std::uint8_t flags = 0;
        std::uint8_t code = 0;
        std::optional<UserText> refusal;
        const std::string description = page->GetKeyAssignment(flags, code, refusal);
        if (refusal)
            return QStringLiteral("refused: ") + QString::fromStdString(ComposeText(*refusal));
        return QStringLiteral("0x%1 0x%2 %3")
            .arg(flags, 2, 16, QChar('0'))
            .arg(code, 2, 16, QChar('0'))
            .arg(QString::fromStdString(description));
    }

    std::unique_ptr<KeyboardSettingDlg> page;
};
} // namespace

QTEST_MAIN(KeyboardSettingDlgTest)
#include "KeyboardSettingDlgTest.moc"
