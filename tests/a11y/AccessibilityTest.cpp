#include "app/KeyTableDlg.h"
#include "app/MainDlg.h"
#include "app/MessageBox.h"
#include "app/PageTabCtrl.h"
#include "common/ControlIds.h"
#include "pages/GamePadIds.h"
#include "pages/KeyboardIds.h"
#include "pages/MouseIds.h"
#include "pages/PageDlg.h"
#include "resources/GamePadTemplate.h"
#include "resources/KeyTableTemplate.h"
#include "resources/KeyboardTemplate.h"
#include "resources/MainTemplate.h"
#include "resources/MouseTemplate.h"
#include "sim/VirtualHidBackend.h"
#include "support/RecordingSink.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>
#include <memory>

namespace {
constexpr const char *kTabRow = "tabs";

// The controls of a template that Tab stops at when the window opens, in template order: every
// control that is shown and enabled, but only the first such radio of a radio group.
QStringList TabStops(const DialogTemplate &dialog)
{
    QStringList ids;
    bool groupHasStop = false;
    for (const ControlTemplate &control : dialog.controls) {
        if (control.style & kGroup)
            groupHasStop = false;
        const bool operated = control.kind != CtlKind::Label && control.kind != CtlKind::GroupBox &&
                              control.kind != CtlKind::Icon && control.kind != CtlKind::TabControl;
        if (!operated || (control.style & (kHidden | kDisabled)))
            continue;
        if (control.kind == CtlKind::RadioButton && std::exchange(groupHasStop, true))
            continue;
        ids << QString::number(control.id);
    }
    return ids;
}

const DialogTemplate &PageTemplate(int page)
{
    switch (page) {
    case 0:
        return KeyboardTemplate();
    case 1:
        return MouseTemplate();
    default:
        return GamePadTemplate();
    }
}

bool IsControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::ListItem:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
        return true;
    default:
        return false;
    }
}

// Every control a screen reader presents below node, leaving out what is not shown.
void CollectShownControls(QAccessibleInterface *node, QList<QAccessibleInterface *> &controls)
{
    for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        if (IsControl(child->role()))
            controls << child;
        CollectShownControls(child, controls);
    }
}

QString LabelText(QAccessibleInterface *field)
{
    const auto labels = field->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.first().first->text(QAccessible::Name);
}

// What happened to a modal box that was answered with Enter.
struct ModalAnswer {
    bool focusInBox = false;
    bool closedByEnter = false;
};

// Opens a modal box through open, waits until the focus is inside it, then presses Enter there.
// A box that never takes the focus is closed after a while so the test goes on.
ModalAnswer AnswerWithEnter(const std::function<void()> &open)
{
    ModalAnswer answer;
    bool gaveUp = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *box = QApplication::activeModalWidget();
        QWidget *focus = QApplication::focusWidget();
        if (box && focus && box->isAncestorOf(focus)) {
            poll.stop();
            answer.focusInBox = true;
            QTest::keyClick(focus, Qt::Key_Return);
        } else if (clock.elapsed() > 5000) {
            poll.stop();
            gaveUp = true;
            if (box)
                box->close();
        }
    });
    poll.start(20);
    open();
    answer.closedByEnter = answer.focusInBox && !gaveUp;
    return answer;
}
} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    // The main window over a copy of the shipped settings file and one virtual module; messages
    // are recorded, not shown.
    struct Window {
        QTemporaryDir folder;
        CRecordingSink sink;
        CVirtualModule module;
        CVirtualHidBackend backend;
        std::unique_ptr<CMainDlg> dialog;
    };
    std::unique_ptr<Window> window;
    CMainDlg *dialog = nullptr;

    void Open()
    {
        window = std::make_unique<Window>();
        const QString settings = window->folder.filePath(QStringLiteral("confight.ini"));
        QVERIFY(QFile::copy(QStringLiteral(TAVRIN_DEFAULT_SETTINGS), settings));
        QFile::setPermissions(settings, QFile::ReadOwner | QFile::WriteOwner);
        AddStandardModule(window->backend, window->module);
        window->dialog = std::make_unique<CMainDlg>(window->backend, SettingsLocation(settings.toStdString()));
        dialog = window->dialog.get();
        dialog->show();
        QApplication::setActiveWindow(dialog);
        QVERIFY(QTest::qWaitForWindowActive(dialog));
    }

    CPageDlg *Page(int index) const { return dialog->Tab().PageAt(index); }
    QTabBar *TabRow() const { return dialog->Tab().TabBar(); }

    template <class T> T *PageControl(int page, int id) const
    {
        return Page(page)->findChild<T *>(QString::number(id));
    }

    void ShowPage(int index) { TabRow()->setCurrentIndex(index); }

    static QString Name(const QWidget *widget)
    {
        return widget && widget->objectName().isEmpty() ? QString::fromLatin1(kTabRow) : widget->objectName();
    }

    // The controls the focus visits from the tab row until it is back there.
    QStringList TabCycle(Qt::Key key)
    {
        TabRow()->setFocus(Qt::TabFocusReason);
        QStringList visited{Name(QApplication::focusWidget())};
        for (int presses = 0; presses < 200; ++presses) {
            QTest::keyClick(QApplication::focusWidget(), key);
            if (QApplication::focusWidget() == TabRow())
                return visited;
            visited << Name(QApplication::focusWidget());
        }
        return visited;
    }

    // Every control of the window, as it is now, that Tab may stop at.
    QStringList TabFocusControls() const
    {
        QStringList ids;
        for (QWidget *widget : dialog->findChildren<QWidget *>()) {
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus) &&
                !widget->focusProxy())
                ids << Name(widget);
        }
        ids.sort();
        return ids;
    }

    QList<bool> CheckStates() const
    {
        QList<bool> states;
        for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            states << button->isChecked();
        return states;
    }

    // Moves the focus into field with Tab, from the control before it.
    static bool TabInto(QWidget *field)
    {
        field->previousInFocusChain()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == field;
    }

    bool Checked(int page, int id) const { return PageControl<QAbstractButton>(page, id)->isChecked(); }

private slots:
    void cleanup()
    {
        dialog = nullptr;
        window.reset();
    }

    void everyShownControlHasANameOnEveryPage()
    {
        Open();
        for (int page = 0; page < TabRow()->count(); ++page) {
            ShowPage(page);
            QList<QAccessibleInterface *> controls;
            CollectShownControls(QAccessible::queryAccessibleInterface(dialog), controls);
            QVERIFY2(controls.size() > 15, qPrintable(QString::number(controls.size())));
            for (QAccessibleInterface *control : controls) {
                const QString where = QStringLiteral("page %1: %2 role %3")
                                          .arg(page)
                                          .arg(control->object() ? control->object()->objectName() : QString())
                                          .arg(control->role());
                QVERIFY2(!control->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(where));
            }
            QCOMPARE(QAccessible::queryAccessibleInterface(Page(page))->text(QAccessible::Name),
                     TabRow()->tabText(page));
        }
    }

    void fieldsAreNamedForScreenReaders_data()
    {
        QTest::addColumn<int>("page"); // -1: the main window
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("byLabel");
        using namespace MainId;
        QTest::newRow("long press") << -1 << kLongPress << QStringLiteral("长按连击") << true;
        QTest::newRow("debounce") << -1 << kDebounce << QStringLiteral("按键消抖") << true;
        QTest::newRow("module list") << -1 << kModuleName << QStringLiteral("模块") << true;
        QTest::newRow("key list") << -1 << kKeyList << QStringLiteral("按键") << true;
        QTest::newRow("log") << -1 << kLog << QStringLiteral("日志显示") << false;
        QTest::newRow("character") << 0 << KeyboardId::kCharField << QStringLiteral("数字/字母/符号") << true;
        QTest::newRow("key code") << 0 << KeyboardId::kCodeField << QStringLiteral("按键HID码") << true;
        QTest::newRow("up count") << 1 << MouseId::kUpCount << QStringLiteral("上移") << false;
        QTest::newRow("down count") << 1 << MouseId::kDownCount << QStringLiteral("下移") << false;
        QTest::newRow("left count") << 1 << MouseId::kLeftCount << QStringLiteral("左移") << false;
        QTest::newRow("right count") << 1 << MouseId::kRightCount << QStringLiteral("右移") << false;
        QTest::newRow("wheel count") << 1 << MouseId::kWheelCount << QStringLiteral("刻度") << true;
        QTest::newRow("wheel direction") << 1 << MouseId::kWheelDirection << QStringLiteral("滚轮操作") << false;
    }

    void fieldsAreNamedForScreenReaders()
    {
        QFETCH(int, page);
        QFETCH(int, id);
        QFETCH(QString, name);
        QFETCH(bool, byLabel);
        Open();
        QWidget *widget = page < 0 ? dialog->Items().GetDlgItem(id) : PageControl<QWidget>(page, id);
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(widget);
        QCOMPARE(LabelText(field), byLabel ? name : QString());
        // Where a combo box shows a text, some platforms speak that as its name and the label
        // through the relation.
        auto *combo = qobject_cast<QComboBox *>(widget);
        if (!combo || combo->currentText().isEmpty())
            QCOMPARE(field->text(QAccessible::Name), name);
    }

    void hiddenControlsStayHiddenFromScreenReaders()
    {
        Open();
        for (const int id : {MainId::kWorkMode, MainId::kBaudRate, MainId::kTriggerLevel}) {
            QAccessibleInterface *combo = QAccessible::queryAccessibleInterface(dialog->Items().GetDlgItem(id));
            QVERIFY(combo->state().invisible);
        }
        ShowPage(2);
        using namespace GamePadId;
        for (const int id : {kButton5, kButton6, kButton7, kButton8, kUp, kDown, kLeft, kRight})
            QVERIFY(QAccessible::queryAccessibleInterface(PageControl<QWidget>(2, id))->state().invisible);
    }

    void tabVisitsEveryControlInTemplateOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("keyboard") << 0;
        QTest::newRow("mouse") << 1;
        QTest::newRow("gamepad") << 2;
    }

    void tabVisitsEveryControlInTemplateOrder()
    {
        QFETCH(int, page);
        Open();
        ShowPage(page);
        // The tab row, the page shown, then the window's controls after the tab host.
        const QStringList expected =
            QStringList{QString::fromLatin1(kTabRow)} + TabStops(PageTemplate(page)) + TabStops(MainDlgTemplate());
        const QStringList forward = TabCycle(Qt::Key_Tab);
        QCOMPARE(forward, expected);
        QStringList backward = TabCycle(Qt::Key_Backtab);
        std::reverse(backward.begin() + 1, backward.end());
        QCOMPARE(backward, expected);
    }

    // A radio group is one stop: the one a Tab enters by is the checked radio, and a radio the
    // arrow keys moved to keeps the stop for the next round. Few presses reach "查找模块".
    void aRadioGroupIsOneTabStop()
    {
        using namespace KeyboardId;
        Open();
        const auto pressesTo = [this](int id) {
            TabRow()->setFocus(Qt::TabFocusReason);
            int presses = 0;
            for (; presses < 100 && QApplication::focusWidget() != dialog->Items().GetDlgItem(id); ++presses)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return presses;
        };
        const int toFind = pressesTo(MainId::kFindModule);
        QVERIFY2(toFind <= 20, qPrintable(QString::number(toFind)));
        QTest::mouseClick(PageControl<QAbstractButton>(0, kSpecialFirst + 2), Qt::LeftButton);
        QStringList stops = TabCycle(Qt::Key_Tab);
        QVERIFY(stops.contains(QString::number(kSpecialFirst + 2)));
        QVERIFY(!stops.contains(QString::number(kSpecialNone)));
        PageControl<QWidget>(0, kSpecialFirst + 2)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        stops = TabCycle(Qt::Key_Tab);
        QVERIFY(stops.contains(QString::number(kSpecialFirst + 3)));
        stops.sort();
        QCOMPARE(stops, TabFocusControls());
        QCOMPARE(stops.size(), TabStops(KeyboardTemplate()).size() + TabStops(MainDlgTemplate()).size() + 1);
    }

    void arrowKeysMoveWithinARadioGroupAndChooseNothing_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("keyboard: Enter down to Esc") << 0 << 1023 << int(Qt::Key_Down) << 1024;
        QTest::newRow("keyboard: Enter right to Home") << 0 << 1023 << int(Qt::Key_Right) << 1028;
        QTest::newRow("keyboard: F1 right to F2") << 0 << 1042 << int(Qt::Key_Right) << 1043;
        QTest::newRow("mouse: from up to down") << 1 << MouseId::kMoveUp << int(Qt::Key_Down) << MouseId::kMoveDown;
        QTest::newRow("gamepad: from button 1 to none") << 2 << GamePadId::kButton1 << int(Qt::Key_Left) << GamePadId::kNone;
    }

    void arrowKeysMoveWithinARadioGroupAndChooseNothing()
    {
        QFETCH(int, page);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        Open();
        ShowPage(page);
        const QList<bool> checks = CheckStates();
        auto *radio = PageControl<QAbstractButton>(page, from);
        radio->setFocus(Qt::TabFocusReason);
        QTest::keyClick(radio, Qt::Key(key));
        QCOMPARE(QApplication::focusWidget(), PageControl<QWidget>(page, to));
        QCOMPARE(CheckStates(), checks);
    }

    void spaceOnARadioChoosesItWithThePagesReaction()
    {
        using namespace KeyboardId;
        Open();
        auto *special = PageControl<QAbstractButton>(0, kSpecialFirst);
        special->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(special, Qt::Key_Space);
        QVERIFY(special->isChecked());
        QVERIFY(Checked(0, kCharNone) && Checked(0, kCodeNone));
    }

    void tabsChangeFromTheKeyboard()
    {
        Open();
        struct Step {
            QWidget *from;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int tab;
        };
        const Step steps[] = {
            {TabRow(), Qt::Key_Right, Qt::NoModifier, 1},
            {nullptr, Qt::Key_Tab, Qt::ControlModifier, 2},
            {nullptr, Qt::Key_Tab, Qt::ControlModifier, 0},
            {PageControl<QWidget>(0, KeyboardId::kCharField), Qt::Key_Tab, Qt::ControlModifier, 1},
            {nullptr, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
            {nullptr, Qt::Key_PageUp, Qt::ControlModifier, 2},
            {nullptr, Qt::Key_PageDown, Qt::ControlModifier, 0},
            // From the window's own controls too: a list of the window, a field, a button.
            {dialog->Items().GetDlgItem(MainId::kKeyList), Qt::Key_PageDown, Qt::ControlModifier, 1},
            {dialog->Items().GetDlgItem(MainId::kLog), Qt::Key_Tab, Qt::ControlModifier, 2},
            {dialog->Items().GetDlgItem(MainId::kDebounce), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1},
            {dialog->Items().GetDlgItem(MainId::kClearLog), Qt::Key_PageUp, Qt::ControlModifier, 0},
        };
        for (const Step &step : steps) {
            if (step.from)
                step.from->setFocus(Qt::TabFocusReason);
            QTest::keyClick(QApplication::focusWidget(), step.key, step.modifiers);
            QCOMPARE(dialog->Tab().m_nCurSel, step.tab);
            QCOMPARE(TabRow()->currentIndex(), step.tab);
            QVERIFY(Page(step.tab)->isVisible());
            // The page shown takes the focus, so the next Ctrl+Tab comes from inside it.
            QVERIFY(Page(step.tab)->isAncestorOf(QApplication::focusWidget()));
        }
        // The log list keeps Ctrl+PgDn for itself.
        dialog->Items().GetDlgItem(MainId::kLog)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(dialog->Tab().m_nCurSel, 0);
        QVERIFY(dialog->isVisible());
    }

    // The main buttons answer their keys from anywhere in the window, and their tooltips name them.
    void mainButtonsAnswerTheirKeys()
    {
        Open();
        auto *field = PageControl<QLineEdit>(0, KeyboardId::kCharField);
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_F5);
        QTRY_COMPARE(dialog->Items().GetCount(MainId::kKeyList), 8);
        QTest::keyClicks(field, QStringLiteral("a"));
        QTest::keyClick(field, Qt::Key_Return, Qt::ControlModifier);
        auto *log = dialog->Items().Item<QListWidget>(MainId::kLog);
        QTRY_COMPARE(log->count(), 1);
        QTest::keyClick(field, Qt::Key_L, Qt::ControlModifier);
        QTRY_COMPARE(log->count(), 0);
        QVERIFY(dialog->Items().GetDlgItem(MainId::kFindModule)->toolTip().contains(QStringLiteral("F5")));
        QVERIFY(dialog->isVisible());
    }

    void enterInAKeyboardFieldDoesWhatAPressDoesTabDoesNot_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("charNone");
        QTest::addColumn<bool>("codeNone");
        QTest::newRow("character field") << KeyboardId::kCharField << false << true;
        QTest::newRow("code field") << KeyboardId::kCodeField << true << false;
    }

    void enterInAKeyboardFieldDoesWhatAPressDoesTabDoesNot()
    {
        QFETCH(int, field);
        QFETCH(bool, charNone);
        QFETCH(bool, codeNone);
        using namespace KeyboardId;
        Open();
        QTest::mouseClick(PageControl<QAbstractButton>(0, kSpecialFirst), Qt::LeftButton);
        auto *edit = PageControl<QLineEdit>(0, field);
        edit->setText(QStringLiteral("41"));

        QVERIFY(TabInto(edit));
        QVERIFY(Checked(0, kSpecialFirst));
        QVERIFY(Checked(0, kCharNone) && Checked(0, kCodeNone));

        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(!Checked(0, kSpecialFirst));
        for (const int none : {kSpecialNone, kFnNone, kMediaNone})
            QVERIFY(Checked(0, none));
        QCOMPARE(Checked(0, kCharNone), charNone);
        QCOMPARE(Checked(0, kCodeNone), codeNone);
        QCOMPARE(edit->selectedText(), QStringLiteral("41"));
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(dialog->isVisible());
    }

    void enterInAMouseCountFieldChoosesItsDirectionTabDoesNot_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("direction");
        using namespace MouseId;
        QTest::newRow("up") << kUpCount << kMoveUp;
        QTest::newRow("down") << kDownCount << kMoveDown;
        QTest::newRow("left") << kLeftCount << kMoveLeft;
        QTest::newRow("right") << kRightCount << kMoveRight;
    }

    void enterInAMouseCountFieldChoosesItsDirectionTabDoesNot()
    {
        QFETCH(int, field);
        QFETCH(int, direction);
        using namespace MouseId;
        Open();
        ShowPage(1);
        // The movement's "无" puts the wheel in use: no direction and no wheel "无" is checked.
        QTest::mouseClick(PageControl<QAbstractButton>(1, kMoveNone), Qt::LeftButton);
        auto *edit = PageControl<QLineEdit>(1, field);
        edit->setText(QStringLiteral("12"));
        const int radios[] = {kMoveNone, kMoveUp, kMoveDown, kMoveLeft, kMoveRight, kWheelNone};

        QVERIFY(TabInto(edit));
        for (const int radio : radios)
            QCOMPARE(Checked(1, radio), radio == kMoveNone);

        QTest::keyClick(edit, Qt::Key_Return);
        for (const int radio : radios)
            QCOMPARE(Checked(1, radio), radio == direction || radio == kWheelNone);
        QVERIFY(!edit->hasSelectedText());
        QCOMPARE(edit->cursorPosition(), 2);
        QCOMPARE(QApplication::focusWidget(), edit);
        QVERIFY(dialog->isVisible());
    }

    // The key table: every control named, Tab through its controls in template order, the arrow
    // keys from cell to cell, and a row's mark read out with its reason.
    void keyTableIsNamedAndWalkedByKeyboard()
    {
        Open();
        dialog->ShowKeyTable();
        CKeyTableDlg *table = dialog->KeyTable();
        QApplication::setActiveWindow(table);
        QVERIFY(QTest::qWaitForWindowActive(table));
        QList<QAccessibleInterface *> controls;
        CollectShownControls(QAccessible::queryAccessibleInterface(table), controls);
        QVERIFY(controls.size() >= 6);
        for (QAccessibleInterface *control : controls)
            QVERIFY2(!control->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(control->object()->objectName()));
        QTableWidget *grid = table->Table();
        QCOMPARE(QAccessible::queryAccessibleInterface(grid)->text(QAccessible::Name), QStringLiteral("键值表"));

        grid->setFocus(Qt::TabFocusReason);
        QStringList visited{grid->objectName()};
        for (int presses = 0; presses < 20 && (presses == 0 || QApplication::focusWidget() != grid); ++presses) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        // In the order of the form the screen gave it, the full one or the narrow one.
        const QStringList wide = TabStops(KeyTableTemplate()) << grid->objectName();
        const QStringList narrow = TabStops(NarrowKeyTableTemplate()) << grid->objectName();
        QVERIFY2(visited == wide || visited == narrow, qPrintable(visited.join(QLatin1Char(' '))));

        grid->setCurrentCell(0, CKeyTableDlg::kModuleColumn);
        QTest::keyClick(grid, Qt::Key_Down);
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), int(CKeyTableDlg::kWrittenColumn));

        grid->item(1, CKeyTableDlg::kFileColumn)->setText(QStringLiteral("MoveUp(300)Pixel"));
        auto *cells = QAccessible::queryAccessibleInterface(grid)->tableInterface();
        QCOMPARE(cells->cellAt(1, CKeyTableDlg::kMarkColumn)->text(QAccessible::Name),
                 QStringLiteral("文件一列的键值无法识别，不能保存或写入"));
    }

    // Both forms of the key table, its module buttons enabled: Tab goes row by row, left to right.
    void keyTableTabFollowsTheScreen()
    {
        Open();
        dialog->Items().Item<QPushButton>(MainId::kFindModule)->click();
        for (const bool narrow : {false, true}) {
            CKeyTableDlg table(*dialog, dialog, narrow);
            table.show();
            QApplication::setActiveWindow(&table);
            QVERIFY(QTest::qWaitForWindowActive(&table));
            table.Table()->setFocus(Qt::TabFocusReason);
            QPoint last(-1, -1);
            for (int presses = 0; presses < 20; ++presses) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                const QWidget *focus = QApplication::focusWidget();
                if (focus == table.Table())
                    break;
                const QPoint at = focus->geometry().topLeft();
                QVERIFY2(at.y() > last.y() || (at.y() == last.y() && at.x() > last.x()),
                         qPrintable(QStringLiteral("%1 %2").arg(narrow).arg(focus->objectName())));
                last = at;
            }
        }
    }

    void messageBoxTakesTheFocusAndClosesWithEnter()
    {
        CMessageBoxSink boxes;
        const ModalAnswer answer = AnswerWithEnter([&] { boxes.ShowMessage(UserText{"设置失败!!", {}}); });
        QVERIFY(answer.focusInBox);
        QVERIFY(answer.closedByEnter);
    }

    void aboutBoxTakesTheFocusAndClosesWithEnter()
    {
        Open();
        const ModalAnswer answer = AnswerWithEnter([&] { dialog->ShowAboutBox(); });
        QVERIFY(answer.focusInBox);
        QVERIFY(answer.closedByEnter);
        QVERIFY(dialog->isVisible());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "AccessibilityTest.moc"
