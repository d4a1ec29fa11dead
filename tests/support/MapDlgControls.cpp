#include "MapDlgControls.h"

namespace {
template <class Map, class Value> Value Lookup(const Map &map, int id, Value fallback)
{
    const auto it = map.find(id);
    return it == map.end() ? fallback : it->second;
}
} // namespace

bool CMapDlgControls::IsDlgButtonChecked(int id) const
{
    return Lookup(checked, id, false);
}

void CMapDlgControls::CheckDlgButton(int id, bool value)
{
    checked[id] = value;
}

std::string CMapDlgControls::GetDlgItemText(int id) const
{
    const auto list = lists.find(id);
    if (list != lists.end() && !texts.count(id)) {
        const List &l = list->second;
        return l.selection >= 0 ? l.items[static_cast<std::size_t>(l.selection)] : std::string();
    }
    return Lookup(texts, id, std::string());
}

void CMapDlgControls::SetDlgItemText(int id, const std::string &text)
{
    texts[id] = text;
}

int CMapDlgControls::GetCurSel(int id) const
{
    return ListOf(id).selection;
}

void CMapDlgControls::SetCurSel(int id, int index)
{
    List &list = lists[id];
    list.selection = index >= 0 && index < static_cast<int>(list.items.size()) ? index : -1;
    texts.erase(id);
}

int CMapDlgControls::GetCount(int id) const
{
    return static_cast<int>(ListOf(id).items.size());
}

void CMapDlgControls::ResetContent(int id)
{
    lists[id] = List{};
    texts.erase(id);
}

void CMapDlgControls::AddString(int id, const std::string &text)
{
    lists[id].items.push_back(text);
}

void CMapDlgControls::EnableWindow(int id, bool enable)
{
    enabled[id] = enable;
}

bool CMapDlgControls::IsWindowEnabled(int id) const
{
    return Lookup(enabled, id, true);
}

void CMapDlgControls::SetList(int id, std::vector<std::string> items, int selection)
{
    lists[id] = List{std::move(items), -1};
    SetCurSel(id, selection);
}

void CMapDlgControls::SetLists(const DialogTemplate &dialog)
{
    for (const ControlTemplate &control : dialog.controls) {
        if (control.kind == CtlKind::ComboBox)
            SetList(control.id, control.items);
    }
}

const CMapDlgControls::List &CMapDlgControls::ListOf(int id) const
{
    static const List kEmpty;
    const auto it = lists.find(id);
    return it == lists.end() ? kEmpty : it->second;
}
