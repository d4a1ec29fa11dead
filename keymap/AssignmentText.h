#pragma once

#include "device/ModuleCommands.h"
#include "keymap/ControlState.h"

#include <cstdint>
#include <optional>
#include <string_view>

// What a page gives for one key: its kind and its two value bytes.
struct PageAssignment {
    PageKind kind = PageKind::Keyboard;
    std::uint8_t value1 = 0;
    std::uint8_t value2 = 0;
    bool operator==(const PageAssignment &) const = default;
};

// Reads an assignment text (what the log shows after "KEY-n = ") back into the bytes that the page
// which wrote it sent. A text is read by finding a state of the page's controls in which the
// page's own logic produces exactly this text; the bytes are the page's for that state.
//
// With a page kind: that page's texts, any text of the keyboard page's character field included;
// the empty text is the page with nothing chosen. Without: the kind follows from the text. The
// empty text, which every page gives, and a character field of more than one character, which
// could spell any other text, are then not read. nullopt when the text is not read; a mouse count
// beyond the page's limits is refused with the page's own message, and *pRefused tells so.
std::optional<PageAssignment> ParseAssignmentText(std::string_view text, std::optional<PageKind> page = {},
                                                  bool *pRefused = nullptr);

// The state of the page's controls in which that page's own logic produces text, as the reading
// above finds it; nullopt when the page does not produce text.
std::optional<CControlState> PageStateOfText(std::string_view text, PageKind page);
