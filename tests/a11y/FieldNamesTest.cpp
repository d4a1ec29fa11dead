#include "resources/DialogItems.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

namespace {
// Fields in the arrangements the builder names them from: a label on the left (the nearer of two),
// a label on the right past a control on the left, a control standing between a field and its only
// label, a hidden label, frames inside frames, and a field with nothing around it.
DialogTemplate SampleTemplate()
{
    return DialogTemplate{
        501,
        "",
        200,
        130,
        "宋体",
        9,
        {
            {kNoId, CtlKind::GroupBox, 2, 2, 196, 96, "外框", kStyleNone, {}},
            {kNoId, CtlKind::GroupBox, 4, 50, 100, 40, "内框", kStyleNone, {}},
            {kNoId, CtlKind::Label, 8, 10, 24, 8, "远", kStyleNone, {}},
            {kNoId, CtlKind::Label, 36, 10, 24, 8, "近", kStyleNone, {}},
            {10, CtlKind::Edit, 64, 9, 40, 12, "", kStyleNone, {}},
            {11, CtlKind::Edit, 108, 9, 30, 12, "", kStyleNone, {}},
            {kNoId, CtlKind::Label, 142, 10, 24, 8, "右", kStyleNone, {}},
            {kNoId, CtlKind::Label, 8, 27, 24, 8, "隐", kHidden, {}},
            {12, CtlKind::ComboBox, 36, 26, 40, 40, "", kStyleNone, {"甲", "乙"}},
            {13, CtlKind::PushButton, 80, 26, 30, 14, "钮", kStyleNone, {}},
            {kNoId, CtlKind::Label, 114, 27, 24, 8, "钮后", kStyleNone, {}},
            {14, CtlKind::ListBox, 8, 60, 60, 24, "", kStyleNone, {}},
            {kNoId, CtlKind::Label, 100, 106, 24, 8, "", kStyleNone, {}},
            {15, CtlKind::Edit, 140, 104, 40, 12, "", kStyleNone, {}},
        }};
}

QString LabelText(QAccessibleInterface *field)
{
    const auto labels = field->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}
} // namespace

class FieldNamesTest : public QObject {
    Q_OBJECT

private slots:
    void fieldsAreNamedByTheLabelBesideThemOrTheirFrame_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byLabel");
        QTest::newRow("nearer of two labels on the left") << 10 << QStringLiteral("近") << true;
        QTest::newRow("label on the right when a control is on the left") << 11 << QStringLiteral("右") << true;
        QTest::newRow("hidden label and a control in the way: the frame") << 12 << QStringLiteral("外框") << false;
        QTest::newRow("innermost frame") << 14 << QStringLiteral("内框") << false;
        QTest::newRow("only a label without text, no frame: no name") << 15 << QString() << false;
    }

    void fieldsAreNamedByTheLabelBesideThemOrTheirFrame()
    {
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(bool, byLabel);
        QWidget host;
        CDialogItems items(SampleTemplate(), &host);
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(items.GetDlgItem(id));
        QCOMPARE(field->text(QAccessible::Name), name);
        QCOMPARE(LabelText(field), byLabel ? name : QString());
        // An editable combo box's own text field carries the name too.
        if (QLineEdit *edit = items.Item<QComboBox>(id) ? items.Item<QComboBox>(id)->lineEdit() : nullptr)
            QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Name), name);
    }

    void buttonsAreNamedByTheirCaptionsAndRadiosAreRadios()
    {
        const DialogTemplate dialog{502,
                                    "",
                                    100,
                                    40,
                                    "宋体",
                                    9,
                                    {
                                        {20, CtlKind::RadioButton, 4, 4, 40, 10, "上移", kGroup, {}},
                                        {21, CtlKind::CheckBox, 4, 16, 40, 10, "左键", kGroup, {}},
                                        {22, CtlKind::PushButton, 50, 4, 40, 14, "查找模块", kStyleNone, {}},
                                    }};
        QWidget host;
        CDialogItems items(dialog, &host);
        const std::pair<int, QAccessible::Role> expected[] = {
            {20, QAccessible::RadioButton}, {21, QAccessible::CheckBox}, {22, QAccessible::Button}};
        for (const auto &[id, role] : expected) {
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(items.GetDlgItem(id));
            QCOMPARE(control->role(), role);
            QCOMPARE(control->text(QAccessible::Name), QString::fromStdString(items.GetDlgItemText(id)));
        }
    }
};

QTEST_MAIN(FieldNamesTest)
#include "FieldNamesTest.moc"
