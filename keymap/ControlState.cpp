#include "keymap/ControlState.h"

void CControlState::CheckDlgButton(int id, bool checked)
{
    if (checked)
        m_checked.insert(id);
    else
        m_checked.erase(id);
}

std::string CControlState::GetDlgItemText(int id) const
{
    const auto it = m_texts.find(id);
    return it == m_texts.end() ? std::string() : it->second;
}

int CControlState::GetCurSel(int id) const
{
    const auto it = m_selections.find(id);
    return it == m_selections.end() ? -1 : it->second;
}
