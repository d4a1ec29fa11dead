#pragma once

#include "pages/PageClass.h"
#include "pages/PageDlg.h"

class QLineEdit;

// The keyboard page: modifiers with a special, function or media key, a typed character, or a
// key code typed as a number. It keeps its choices mutually exclusive and turns them into a
// keyboard key on request; its state is that of its controls.
class KeyboardSettingDlg : public CPageDlg {
    Q_OBJECT
public:
    explicit KeyboardSettingDlg(QWidget *parent);
    ~KeyboardSettingDlg() override;

    static const PageClass &Class();

    // Refuses a character field that starts with a character outside the keys' table.
    std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                 std::optional<UserText> &refusal) override;

protected:
    // A left press on either field takes that field into use instead of placing the caret; Enter
    // in the field does the same.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void TakeField(QLineEdit *field);
};

// The one keyboard page, set when it is built.
extern KeyboardSettingDlg *g_pKeyboardSettingDlg;
