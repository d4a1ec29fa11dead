#pragma once

#include "common/DlgControls.h"

#include <string>
#include <utility>
#include <vector>

// A page's controls as plain values, for running a page's assignment logic on a chosen state.
// A state holds a handful of controls and is copied for every state tried while reading a text,
// so it keeps them in small vectors: a copy is three allocations, not one per control.
class CControlState final : public IDlgControls {
public:
    bool IsDlgButtonChecked(int id) const override;
    void CheckDlgButton(int id, bool checked) override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, const std::string &text) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    int GetCount(int) const override { return 0; }
    void ResetContent(int id) override;
    void AddString(int, const std::string &) override {}
    void EnableWindow(int, bool) override {}
    bool IsWindowEnabled(int) const override { return true; }

private:
    std::vector<int> m_checked;
    std::vector<std::pair<int, std::string>> m_texts;
    std::vector<std::pair<int, int>> m_selections;
};
