#pragma once

#include "common/MessageSink.h"

#include <QString>

// The GUI's message sink: a modal box with an exclamation icon, one OK button, and the
// executable's file name without extension as its title. It shows the text in the run's language.
class CMessageBoxSink final : public IMessageSink {
public:
    void ShowMessage(const UserText &text) override;
};

// The title every box of the tool has: the executable's file name without its extension.
QString MessageBoxTitle();
