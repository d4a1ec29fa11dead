#pragma once

#include <string>
#include <vector>

// Control kinds a dialog template can hold.
enum class CtlKind {
    Label,       // static text
    GroupBox,    // frame, with or without caption
    PushButton,
    CheckBox,    // automatic check box
    RadioButton, // automatic radio button
    Edit,        // single-line edit
    ComboBox,    // drop-down combo, with an editable text field unless kDropDownList
    ListBox,
    ListView,    // a list of rows with columns
    TabControl,
    Icon,        // the application icon
};

// Style bits of a control. Every control that takes the focus is a Tab stop, in template order,
// except that a radio group is one stop, its checked radio (else its first), and the arrow keys
// move within the group: no control is out of the keyboard's reach.
enum CtlStyle : unsigned {
    kStyleNone = 0,
    kHidden = 1u << 0,     // created invisible and disabled, never shown
    kDisabled = 1u << 1,
    kGroup = 1u << 2,      // starts a group: radios up to the next group start are exclusive
    kAlignLeft = 1u << 3,
    kAlignCenter = 1u << 4,
    kAlignRight = 1u << 5,
    kDefaultButton = 1u << 6,
    kVScroll = 1u << 7,      // list box with a vertical scroll bar, shown when the list needs it
    kDropDownList = 1u << 8, // combo box that offers its list only: nothing can be typed into it
};

inline constexpr int kNoId = -1; // a control nobody addresses (labels, frames)

struct ControlTemplate {
    int id = kNoId;
    CtlKind kind = CtlKind::Label;
    int x = 0, y = 0, cx = 0, cy = 0; // rectangle in dialog units
    std::string caption;               // UTF-8
    unsigned style = kStyleNone;
    std::vector<std::string> items;    // initial list of a combo box, in order
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int cx = 0, cy = 0; // size in dialog units
    std::string fontName;
    int pointSize = 9;
    std::vector<ControlTemplate> controls; // in tab order
};
