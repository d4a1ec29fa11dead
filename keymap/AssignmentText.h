#pragma once

#include "common/UserText.h"
#include "records/ModuleRecords.h"
#include "keymap/ControlState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a page gives for one key: its kind and its two value bytes.
struct PageAssignment {
    PageKind kind = PageKind::Keyboard;
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    bool operator==(const PageAssignment &) const = default;
};

// Reads an assignment text (what the log shows after "KEY-n = ") back into the bytes that the page
// which wrote it sent. A text is read by building, with the pages' own reactions, a state of the
// page's controls in which the page's own logic produces exactly this text; the bytes are the
// page's for that state. Every text a page logs is read, the character field's texts of any
// length included.
//
// Where several states give one text, the plain one is read: the gamepad's, the mouse's with the
// wheel off, a key, a typed code or modifiers alone, and only then the character field ("ENTER"
// is the special key, "ab+CTRL" the field "ab" with Ctrl). With a page kind, only that page's
// texts are read, and the empty text is the page with nothing chosen; without one, the empty
// text, which every page gives, is not read.
//
// nullopt when no page state gives the text. A text in the shape of a page's own whose value that
// page refuses (a mouse count beyond its limits, a character outside the keyboard's) is not read
// as another page's either: *refusal then holds the page's message.
std::optional<PageAssignment> ParseAssignmentText(std::string_view text, std::optional<PageKind> page = {},
                                                  std::optional<UserText> *refusal = nullptr);

// The state of the page's controls in which that page's own logic produces text, as the reading
// above finds it; nullopt when the page does not produce text.
std::optional<CControlState> PageStateOfText(std::string_view text, PageKind page);

// Whether a text, read without a page, is the keyboard's character field holding more than one
// character: only the first is sent, so a mistyped key name ("CTRL+ALT+DELL") lands here.
bool IsLongCharacterField(std::string_view text);

// The named texts a page logs (of one page, or of all) closest to a text that names none, fewest
// edits first, ignoring case, at most three; none when even the closest is far off (more than half
// of the shorter text edited). Blanks around the text and a trailing " # comment" are not
// counted: "ENTER # enter key" gives "ENTER".
std::vector<std::string> ClosestKeyTexts(std::string_view text, std::optional<PageKind> page = {});
