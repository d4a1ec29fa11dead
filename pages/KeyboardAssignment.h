#pragma once

#include "common/DlgControls.h"
#include "common/UserText.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Keyboard {
// Turns the keyboard page's controls into the flags and code bytes of a key (both 0 on entry)
// and returns the description. The first character of the character field picks the key code.
// Only a character of the keys' own table, an ASCII one, is a key: any other character is
// refused (the text is then empty and refusal holds the message that says so), since its
// code-page byte would stand for an unrelated key or for none. Reads the controls only.
std::string GetKeyAssignment(const IDlgControls &controls, std::uint8_t &flags, std::uint8_t &code,
                             std::optional<UserText> &refusal);

// The page's reactions, run by the widget and by whatever builds a state of the page.
//
// A click on a radio: it alone of its group checked (the widget's group has already done that;
// doing it again changes nothing). A key of one group, the media group's "无" among them, then
// sets the other two groups to "无" and checks both fields' "无" radios. 1022 and 1041 do nothing
// more; 1067 and 1068 are each alone in their group.
void ClickRadio(IDlgControls &controls, int radio);
// A press on the character or the code field takes that field into use: all three groups to
// "无", and only the other field's "无" checked. The field's own focus and selection are the
// widget's part.
void TakeField(IDlgControls &controls, int field);
} // namespace Keyboard
