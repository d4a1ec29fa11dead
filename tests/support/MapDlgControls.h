#pragma once

#include "common/DlgControls.h"
#include "resources/DialogTemplate.h"

#include <map>
#include <string>
#include <vector>

// Dialog controls over plain maps, for logic tests without a window. A control exists as soon as
// it is touched; buttons start unchecked, controls enabled, lists empty without a selection.
class CMapDlgControls final : public IDlgControls {
public:
    struct List {
        std::vector<std::string> items;
        int selection = -1;
    };

    bool IsDlgButtonChecked(int id) const override;
    void CheckDlgButton(int id, bool checked) override;
    std::string GetDlgItemText(int id) const override;
    void SetDlgItemText(int id, const std::string &text) override;
    int GetCurSel(int id) const override;
    void SetCurSel(int id, int index) override;
    int GetCount(int id) const override;
    void ResetContent(int id) override;
    void AddString(int id, const std::string &text) override;
    void EnableWindow(int id, bool enable) override;
    bool IsWindowEnabled(int id) const override;

    // Fills a list with items and selects one, as a template's initial list would.
    void SetList(int id, std::vector<std::string> items, int selection = -1);
    // Every combo box of the dialog with its template's initial list, nothing selected.
    void SetLists(const DialogTemplate &dialog);
    const List &ListOf(int id) const;

    std::map<int, bool> checked;
    std::map<int, std::string> texts;
    std::map<int, List> lists;
    std::map<int, bool> enabled;
};
