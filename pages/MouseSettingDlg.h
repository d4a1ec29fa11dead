#pragma once

#include "pages/PageClass.h"
#include "pages/PageDlg.h"

// The mouse page: buttons, a pointer movement or wheel steps for one key.
class MouseSettingDlg final : public CPageDlg {
    Q_OBJECT
public:
    explicit MouseSettingDlg(QWidget *parent);
    ~MouseSettingDlg() override;

    static const PageClass &Class();

    std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                 std::optional<UserText> &refusal) override;

protected:
    // A left press in a count field chooses its direction and never reaches the field; Enter in
    // the field does the same.
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The mouse page once it exists; the write-key operation reaches it through this.
extern MouseSettingDlg *g_pMouseSettingDlg;
