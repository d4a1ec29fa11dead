#include "pages/GamePadIds.h"
#include "pages/GamePadSettingDig.h"

#include <QAbstractButton>
#include <QTest>

#include <memory>

using namespace GamePadId;

namespace {
constexpr int kShown[] = {kButton1, kButton2, kButton3, kButton4, kNone};
constexpr int kHiddenForGood[] = {kLeft, kUp, kDown, kRight, kButton5, kButton6, kButton7, kButton8};
} // namespace

class GamePadPageTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        page = std::make_unique<GamePadSettingDig>(nullptr);
        page->show();
    }

    void cleanup() { page.reset(); }

    void registersItselfWhileItLives()
    {
        QCOMPARE(g_pGamePadSettingDig, page.get());
        page.reset();
        QVERIFY(!g_pGamePadSettingDig);
    }

    void onlyFourButtonsAndNoneCanBeChosen()
    {
        for (int id : kShown)
            QVERIFY(Item(id)->isVisible() && Item(id)->isEnabled());
        for (int id : kHiddenForGood)
            QVERIFY(!Item(id)->isVisible() && !Item(id)->isEnabled());
        QCOMPARE(Item(kNone)->text(), QStringLiteral(" 无"));
    }

    void eachShownChoiceGivesItsButton_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value1");
        QTest::newRow("按键1") << kButton1 << "GameKey1" << 1;
        QTest::newRow("按键2") << kButton2 << "GameKey2" << 2;
        QTest::newRow("按键3") << kButton3 << "GameKey3" << 3;
        QTest::newRow("按键4") << kButton4 << "GameKey4" << 4;
        QTest::newRow(" 无") << kNone << "" << 0;
    }

    void eachShownChoiceGivesItsButton()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(int, value1);
        Click(kButton2);
        Click(id);
        for (int other : kShown)
            QCOMPARE(Item(other)->isChecked(), other == id);
        std::uint8_t byte0 = 0;
        std::uint8_t byte1 = 0;
        std::optional<UserText> refusal;
        QCOMPARE(QString::fromStdString(page->GetKeyAssignment(byte0, byte1, refusal)), text);
        QCOMPARE(byte0, value1);
        QCOMPARE(byte1, 0);
        QVERIFY(!refusal);
    }

    // A hidden choice checked from code does not stay beside the one clicked.
    void aClickLeavesOnlyThatChoiceHiddenOnesIncluded()
    {
        Item(kButton7)->setChecked(true);
        Click(kButton1);
        QVERIFY(!Item(kButton7)->isChecked());
        QVERIFY(Item(kButton1)->isChecked());
    }

    void bytesPassedInComeBackZero()
    {
        std::uint8_t byte0 = 0x12;
        std::uint8_t byte1 = 0x34;
        std::optional<UserText> refusal;
        QCOMPARE(page->GetKeyAssignment(byte0, byte1, refusal), std::string());
        QCOMPARE(byte0, 0);
        QCOMPARE(byte1, 0);
    }

private:
    QAbstractButton *Item(int id) const
    {
        auto *button = page->findChild<QAbstractButton *>(QString::number(id));
        Q_ASSERT(button);
        return button;
    }
    void Click(int id) const { QTest::mouseClick(Item(id), Qt::LeftButton); }

    std::unique_ptr<GamePadSettingDig> page;
};

QTEST_MAIN(GamePadPageTest)
#include "GamePadPageTest.moc"
