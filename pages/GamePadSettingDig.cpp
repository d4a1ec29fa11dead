#include "pages/GamePadSettingDig.h"

#include "pages/GamePadAssignment.h"
#include "pages/GamePadIds.h"
#include "resources/GamePadTemplate.h"

#include <QAbstractButton>

GamePadSettingDig *g_pGamePadSettingDig = nullptr;

GamePadSettingDig::GamePadSettingDig(QWidget *parent) : CPageDlg(GamePadTemplate(), parent)
{
    for (int choice : kGamePadChoices) {
        connect(Items().Item<QAbstractButton>(choice), &QAbstractButton::clicked, this,
                [this, choice] { ClickGamePadChoice(Items(), choice); });
    }
    g_pGamePadSettingDig = this;
}

// The pages go with their window; the write-key operation must not reach one that has gone.
GamePadSettingDig::~GamePadSettingDig()
{
    if (g_pGamePadSettingDig == this)
        g_pGamePadSettingDig = nullptr;
}

const PageClass &GamePadSettingDig::Class()
{
    static const PageClass record{"GamePadSettingDig", GamePadId::kTemplate,
                                  [](QWidget *parent) -> CPageDlg * { return new GamePadSettingDig(parent); }};
    return record;
}

std::string GamePadSettingDig::GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2, std::optional<UserText> &)
{
    return GetGamePadAssignment(Items(), value1, value2);
}
