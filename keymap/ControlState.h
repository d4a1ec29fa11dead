#pragma once

#include "common/DlgControls.h"

#include <map>
#include <set>
#include <string>

// A page's controls as plain values, for running a page's assignment logic on a chosen state.
class CControlState final : public IDlgControls {
public:
    bool IsDlgButtonChecked(int id) const override { return m_checked.contains(id); }
    void CheckDlgButton(int id, bool checked) override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, const std::string &text) override { m_texts[id] = text; }
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override { m_selections[id] = index; }
    int GetCount(int) const override { return 0; }
    void ResetContent(int id) override { m_selections.erase(id); }
    void AddString(int, const std::string &) override {}
    void EnableWindow(int, bool) override {}
    bool IsWindowEnabled(int) const override { return true; }

private:
    std::set<int> m_checked;
    std::map<int, std::string> m_texts;
    std::map<int, int> m_selections;
};
