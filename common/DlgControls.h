#pragma once

#include <string>

// The controls of one dialog, reached by their numeric identifiers. The operations and the
// pages' assignment logic read and set controls only through this interface, so they run the
// same over real widgets and over the plain maps of the tests. Texts are UTF-8.
class IDlgControls {
public:
    virtual ~IDlgControls() = default;

    // Check boxes and radio buttons.
    virtual bool IsDlgButtonChecked(int id) const = 0;
    virtual void CheckDlgButton(int id, bool checked) = 0;

    // Edits, labels and the text field of a combo box.
    virtual std::string GetDlgItemText(int id) const = 0;
    virtual void SetDlgItemText(int id, const std::string &text) = 0;

    // Combo boxes and list boxes. An index of -1 means "no selection"; selecting an index
    // outside the list leaves the control without a selection.
    virtual int GetCurSel(int id) const = 0;
    virtual void SetCurSel(int id, int index) = 0;
    virtual int GetCount(int id) const = 0;
    virtual void ResetContent(int id) = 0;
    virtual void AddString(int id, const std::string &text) = 0;

    virtual void EnableWindow(int id, bool enable) = 0;
    virtual bool IsWindowEnabled(int id) const = 0;
};
