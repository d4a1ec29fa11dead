#pragma once

#include <cstdint>
#include <string>

// What the write-key operation asks of the page that is shown.
class IKeyPage {
public:
    virtual ~IKeyPage() = default;

    // Fills the two value bytes (the caller sets both to 0 first) from the page's controls and
    // returns the description text. An empty text is an ordinary result too; refused is set to
    // true only when the page showed a refusal message, and is left alone otherwise.
    virtual std::string GetKeyAssignment(std::uint8_t &value1, std::uint8_t &value2, bool &refused) = 0;
};
