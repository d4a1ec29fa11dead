#pragma once

#include "common/UserText.h"

#include <cstdint>
#include <optional>
#include <string>

// What the write-key operation asks of the page that is shown.
class IKeyPage {
public:
    virtual ~IKeyPage() = default;

    // Fills the two value bytes (the caller sets both to 0 first) from the page's controls and
    // returns the description text. An empty text is an ordinary result too. When the page refuses
    // the entry, refusal is set to the message that says why (the text is then empty); otherwise
    // refusal is left alone. The page shows nothing itself.
    virtual std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2,
                                         std::optional<UserText> &refusal) = 0;
};
