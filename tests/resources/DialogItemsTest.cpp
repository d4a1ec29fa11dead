#include "resources/DialogItems.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWidget>

namespace {
// A small dialog with one control of every kind and two radio groups.
DialogTemplate SampleTemplate()
{
    return DialogTemplate{
        500,
        "样例",
        200,
        100,
        "宋体",
        9,
        {
            {kNoId, CtlKind::GroupBox, 2, 2, 100, 60, "组", kStyleNone, {}},
            {10, CtlKind::RadioButton, 5, 10, 40, 10, "甲", kGroup, {}},
            {11, CtlKind::RadioButton, 5, 20, 40, 10, "乙", kStyleNone, {}},
            {12, CtlKind::RadioButton, 5, 30, 40, 10, "丙", kGroup, {}},
            {20, CtlKind::CheckBox, 50, 10, 40, 10, "Ctrl", kGroup, {}},
            {30, CtlKind::Edit, 50, 25, 40, 12, "", kAlignCenter, {}},
            {40, CtlKind::ComboBox, 110, 10, 60, 61, "", kStyleNone, {"是", "否", ""}},
            {41, CtlKind::ComboBox, 110, 30, 60, 61, "", kHidden | kDropDownList, {"a", "b"}},
            {50, CtlKind::ListBox, 110, 50, 80, 40, "", kVScroll, {}},
            {60, CtlKind::PushButton, 5, 70, 40, 14, "按钮", kDisabled, {}},
            {70, CtlKind::Label, 50, 70, 50, 8, "<b>plain</b>", kAlignRight, {}},
        }};
}

class DialogItemsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        host = std::make_unique<QWidget>();
        items = std::make_unique<CDialogItems>(SampleTemplate(), host.get());
    }

    void cleanup()
    {
        items.reset();
        host.reset();
    }

    void controlsAreFoundByIdentifierAndNamedByIt()
    {
        for (int id : {10, 11, 12, 20, 30, 40, 41, 50, 60, 70}) {
            QWidget *widget = items->GetDlgItem(id);
            QVERIFY2(widget, qPrintable(QString::number(id)));
            QCOMPARE(widget->objectName(), QString::number(id));
            QCOMPARE(host->findChild<QWidget *>(QString::number(id)), widget);
        }
        QVERIFY(!items->GetDlgItem(99));
        QVERIFY(items->Item<QRadioButton>(10));
        QVERIFY(items->Item<QComboBox>(40));
        QVERIFY(!items->Item<QComboBox>(10));
    }

    void geometryFollowsTheFontsDialogUnits()
    {
        const CDialogUnits &units = items->Units();
        QVERIFY(units.BaseX() > 0 && units.BaseY() > 0);
        QCOMPARE(host->size(), QSize(units.X(200), units.Y(100)));
        QCOMPARE(items->GetDlgItem(30)->geometry(), units.Rect(50, 25, 40, 12));
        QCOMPARE(units.X(4), units.BaseX());
        QCOMPARE(units.Y(8), units.BaseY());
        // A closed combo box keeps its template width but not the height of its open list.
        QCOMPARE(items->GetDlgItem(40)->width(), units.X(60));
        QVERIFY(items->GetDlgItem(40)->height() < units.Y(61));
        QCOMPARE(host->windowTitle(), QStringLiteral("样例"));
    }

    void stylesAreApplied()
    {
        host->show();
        QVERIFY(!items->GetDlgItem(41)->isVisible());
        QVERIFY(!items->GetDlgItem(41)->isEnabled());
        QVERIFY(items->GetDlgItem(40)->isVisible());
        QVERIFY(!items->IsWindowEnabled(60));
        QVERIFY(items->Item<QLineEdit>(30)->alignment() & Qt::AlignHCenter);
        QVERIFY(items->Item<QLabel>(70)->alignment() & Qt::AlignRight);
        QCOMPARE(items->Item<QLabel>(70)->textFormat(), Qt::PlainText);
        // The list style comes from the template; the log's scroll bar shows only when needed.
        QVERIFY(items->Item<QComboBox>(40)->isEditable());
        QVERIFY(!items->Item<QComboBox>(41)->isEditable());
        QCOMPARE(items->Item<QListWidget>(50)->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    }

    void comboBoxesStartWithTheirListAndNoSelection()
    {
        QCOMPARE(items->GetCount(40), 3);
        QCOMPARE(items->GetCurSel(40), -1);
        QCOMPARE(items->Item<QComboBox>(40)->itemText(1), QStringLiteral("否"));
        items->SetCurSel(40, 1);
        QCOMPARE(items->GetCurSel(40), 1);
        QCOMPARE(items->GetDlgItemText(40), std::string("否"));
        items->SetCurSel(40, 7);
        QCOMPARE(items->GetCurSel(40), -1);
    }

    void listOperationsKeepTheSelection()
    {
        items->ResetContent(40);
        QCOMPARE(items->GetCount(40), 0);
        items->AddString(40, "KEY-1");
        items->AddString(40, "KEY-2");
        QCOMPARE(items->GetCurSel(40), -1);
        items->SetCurSel(40, 0);
        items->AddString(40, "KEY-3");
        QCOMPARE(items->GetCurSel(40), 0);
        items->AddString(50, "line");
        QCOMPARE(items->GetCount(50), 1);
    }

    void textsTravelAsUtf8()
    {
        items->SetDlgItemText(30, "按键 40");
        QCOMPARE(items->Item<QLineEdit>(30)->text(), QStringLiteral("按键 40"));
        QCOMPARE(items->GetDlgItemText(30), std::string("按键 40"));
        QCOMPARE(items->GetDlgItemText(60), std::string("按钮"));
    }

    void aClickedRadioClearsOnlyItsOwnGroup()
    {
        host->show();
        QTest::mouseClick(items->GetDlgItem(12), Qt::LeftButton);
        QTest::mouseClick(items->GetDlgItem(10), Qt::LeftButton);
        QVERIFY(items->IsDlgButtonChecked(10));
        QVERIFY(items->IsDlgButtonChecked(12));
        QTest::mouseClick(items->GetDlgItem(11), Qt::LeftButton);
        QVERIFY(!items->IsDlgButtonChecked(10));
        QVERIFY(items->IsDlgButtonChecked(11));
        QVERIFY(items->IsDlgButtonChecked(12));
        // A checked radio stays checked when clicked again.
        QTest::mouseClick(items->GetDlgItem(11), Qt::LeftButton);
        QVERIFY(items->IsDlgButtonChecked(11));
    }

    void buttonsTakeClicksAnywhereInTheirRectangle()
    {
        host->show();
        for (const int id : {11, 20}) {
            QWidget *button = items->GetDlgItem(id);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 2, button->height() / 2));
            QVERIFY2(items->IsDlgButtonChecked(id), qPrintable(QString::number(id)));
        }
    }

    void checkingInCodeTouchesOnlyThatButton()
    {
        items->CheckDlgButton(10, true);
        items->CheckDlgButton(11, true);
        QVERIFY(items->IsDlgButtonChecked(10));
        QVERIFY(items->IsDlgButtonChecked(11));
        items->CheckDlgButton(11, false);
        QVERIFY(!items->IsDlgButtonChecked(11));
        items->CheckDlgButton(20, true);
        QVERIFY(items->IsDlgButtonChecked(20));
    }

    void factoryMakesTheControlsItKnows()
    {
        QWidget other;
        QWidget *custom = nullptr;
        CDialogItems built(SampleTemplate(), &other, [&](const ControlTemplate &control, QWidget *parent) -> QWidget * {
            if (control.id != 50)
                return nullptr;
            custom = new QWidget(parent);
            return custom;
        });
        QVERIFY(custom);
        QCOMPARE(built.GetDlgItem(50), custom);
        QCOMPARE(custom->objectName(), QStringLiteral("50"));
        QVERIFY(built.Item<QCheckBox>(20));
    }

private:
    std::unique_ptr<QWidget> host;
    std::unique_ptr<CDialogItems> items;
};
} // namespace

QTEST_MAIN(DialogItemsTest)
#include "DialogItemsTest.moc"
