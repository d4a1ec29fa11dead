#pragma once

#include "pages/PageClass.h"
#include "pages/PageDlg.h"

// The gamepad page: one gamepad button, or nothing, for one key.
class GamePadSettingDig final : public CPageDlg {
    Q_OBJECT
public:
    explicit GamePadSettingDig(QWidget *parent);
    ~GamePadSettingDig() override;

    static const PageClass &Class();

    // Never refuses.
    std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2, std::optional<UserText> &) override;
};

// The gamepad page once it exists; the write-key operation reaches it through this.
extern GamePadSettingDig *g_pGamePadSettingDig;
