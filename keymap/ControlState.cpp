#include "keymap/ControlState.h"

#include <algorithm>

namespace {
// The entry of a control in a list of (id, value) pairs, or end().
template <typename Values>
auto Find(Values &values, int id)
{
    return std::find_if(values.begin(), values.end(), [id](const auto &value) { return value.first == id; });
}

template <typename Value>
void Set(std::vector<std::pair<int, Value>> &values, int id, Value value)
{
    if (const auto it = Find(values, id); it != values.end())
        it->second = std::move(value);
    else
        values.emplace_back(id, std::move(value));
}
} // namespace

bool CControlState::IsDlgButtonChecked(int id) const
{
    return std::find(m_checked.begin(), m_checked.end(), id) != m_checked.end();
}

void CControlState::CheckDlgButton(int id, bool checked)
{
    const auto it = std::find(m_checked.begin(), m_checked.end(), id);
    if (checked && it == m_checked.end())
        m_checked.push_back(id);
    else if (!checked && it != m_checked.end())
        m_checked.erase(it);
}

std::string CControlState::GetDlgItemText(int id) const
{
    const auto it = Find(m_texts, id);
    return it == m_texts.end() ? std::string() : it->second;
}

void CControlState::SetDlgItemText(int id, const std::string &text)
{
    Set(m_texts, id, text);
}

int CControlState::GetCurSel(int id) const
{
    const auto it = Find(m_selections, id);
    return it == m_selections.end() ? -1 : it->second;
}

void CControlState::SetCurSel(int id, int index)
{
    Set(m_selections, id, index);
}

void CControlState::ResetContent(int id)
{
    if (const auto it = Find(m_selections, id); it != m_selections.end())
        m_selections.erase(it);
}
