#include "pages/MouseIds.h"
#include "pages/MouseSettingDlg.h"

#include "support/RecordingSink.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>

#include <memory>

using namespace MouseId;

namespace {
constexpr int kRadioGroup[] = {kMoveNone, kMoveUp, kMoveDown, kMoveLeft, kMoveRight, kWheelNone};
constexpr int kDirections[] = {kMoveUp, kMoveDown, kMoveLeft, kMoveRight};
} // namespace

class MousePageTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        page = std::make_unique<MouseSettingDlg>(nullptr);
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
    }

    void cleanup() { page.reset(); }

    void registersItselfWhileItLives()
    {
        QCOMPARE(g_pMouseSettingDlg, page.get());
        page.reset();
        QVERIFY(!g_pMouseSettingDlg);
    }

    void startsBlankWithTheTwoWheelDirections()
    {
        auto *turns = Item<QComboBox>(kWheelDirection);
        QCOMPARE(turns->count(), 2);
        QCOMPARE(turns->itemText(0), QStringLiteral("往前滚动"));
        QCOMPARE(turns->itemText(1), QStringLiteral("往后滚动"));
        QCOMPARE(turns->currentIndex(), -1);
        QVERIFY(!turns->isEditable());
        for (int id : kRadioGroup)
            QVERIFY(!Checked(id));
        for (int id : {kUpCount, kDownCount, kLeftCount, kRightCount, kWheelCount})
            QVERIFY(Item<QLineEdit>(id)->text().isEmpty());
    }

    void aDirectionClickKeepsTheWheelOff()
    {
        for (int direction : kDirections) {
            Click(kMoveNone);
            QVERIFY(!Checked(kWheelNone));
            Click(direction);
            for (int id : kRadioGroup)
                QCOMPARE(Checked(id), id == direction || id == kWheelNone);
        }
    }

    void theMovementsNoneTurnsTheWheelOn()
    {
        Click(kMoveUp);
        Click(kMoveNone);
        for (int id : kRadioGroup)
            QCOMPARE(Checked(id), id == kMoveNone);
        Item<QComboBox>(kWheelDirection)->setCurrentIndex(1);
        Type(kWheelCount, "3");
        QCOMPARE(Assign().text, std::string("Wheel BackWard = 3 "));
    }

    void theWheelsNoneClearsEveryDirection()
    {
        Click(kMoveLeft);
        Click(kWheelNone);
        for (int id : kRadioGroup)
            QCOMPARE(Checked(id), id == kWheelNone);
    }

    // The press never reaches the field: the caret goes to the end, not to where it was pressed,
    // and dragging on selects nothing.
    void aPressInACountFieldChoosesItsDirectionAndIsConsumed()
    {
        Click(kMoveNone);
        auto *field = Item<QLineEdit>(kDownCount);
        field->setText(QStringLiteral("12345"));
        field->setCursorPosition(2);
        const QPoint nearStart(3, field->height() / 2);
        QTest::mousePress(field, Qt::LeftButton, {}, nearStart);
        for (int id : kRadioGroup)
            QCOMPARE(Checked(id), id == kMoveDown || id == kWheelNone);
        QVERIFY(field->hasFocus());
        QCOMPARE(field->cursorPosition(), 5);
        QVERIFY(!field->hasSelectedText());
        // Along the top edge: a line edit that had seen the press would select from the end to here.
        const QPoint topLeft(3, 0);
        QMouseEvent drag(QEvent::MouseMove, topLeft, field->mapToGlobal(topLeft), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(field, &drag);
        QTest::mouseRelease(field, Qt::LeftButton, {}, topLeft);
        QVERIFY(!field->hasSelectedText());
        QCOMPARE(field->cursorPosition(), 5);
    }

    // A double-click would select the word under it and move the caret; the page takes it instead.
    void aDoubleClickInACountFieldIsTakenLikeAPress()
    {
        auto *field = Item<QLineEdit>(kLeftCount);
        field->setText(QStringLiteral("12 45"));
        const QPoint nearStart(3, field->height() / 2);
        QTest::mouseDClick(field, Qt::LeftButton, {}, nearStart);
        for (int id : kRadioGroup)
            QCOMPARE(Checked(id), id == kMoveLeft || id == kWheelNone);
        QVERIFY(!field->hasSelectedText());
        QCOMPARE(field->cursorPosition(), 5);
    }

    void aPressInTheWheelCountChoosesNothing()
    {
        Click(kMoveNone);
        QTest::mouseClick(Item<QLineEdit>(kWheelCount), Qt::LeftButton);
        for (int id : kRadioGroup)
            QCOMPARE(Checked(id), id == kMoveNone);
    }

    void focusByKeyboardChoosesNothing()
    {
        Item<QLineEdit>(kUpCount)->setFocus(Qt::TabFocusReason);
        for (int id : kRadioGroup)
            QVERIFY(!Checked(id));
    }

    void clickedThroughToAnAssignment()
    {
        Click(kLeftButton);
        Click(kMoveUp);
        Type(kUpCount, "10");
        const Result result = Assign();
        QCOMPARE(result.text, std::string("MLKey+MoveUp(10)Pixel"));
        QCOMPARE(result.value1, 0x01);
        QCOMPARE(result.value2, 0x0A);
        QVERIFY(!result.refusal);
    }

    void aRefusalIsReturnedForTheWindowToShow()
    {
        QTest::mousePress(Item<QLineEdit>(kRightCount), Qt::LeftButton);
        Type(kRightCount, "128");
        CRecordingSink sink;
        const Result result = Assign();
        QVERIFY(result.refusal);
        QCOMPARE(ComposeText(*result.refusal), std::string("向右像素移动数值设置过大,设置值不应超过127"));
        QCOMPARE(result.text, std::string());
        QVERIFY(sink.messages.empty());
        QCOMPARE(Item<QLineEdit>(kRightCount)->text(), QStringLiteral("128"));
    }

private:
    struct Result {
        std::string text;
        int value1;
        int value2;
        std::optional<UserText> refusal;
    };

    template <class T> T *Item(int id) const
    {
        auto *widget = page->findChild<T *>(QString::number(id));
        Q_ASSERT(widget);
        return widget;
    }
    bool Checked(int id) const { return Item<QAbstractButton>(id)->isChecked(); }
    void Click(int id) const { QTest::mouseClick(Item<QAbstractButton>(id), Qt::LeftButton); }
    void Type(int id, const char *text) const { QTest::keyClicks(Item<QLineEdit>(id), QString::fromUtf8(text)); }

    Result Assign() const
    {
        std::uint8_t value1 = 0;
        std::uint8_t value2 = 0;
        std::optional<UserText> refusal;
        std::string text = page->GetKeyAssignment(value1, value2, refusal);
        return {text, value1, value2, refusal};
    }

    std::unique_ptr<MouseSettingDlg> page;
};

QTEST_MAIN(MousePageTest)
#include "MousePageTest.moc"
