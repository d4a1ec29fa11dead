#pragma once

#include "common/MessageSink.h"

#include <string>
#include <vector>

// Records every message (composed, untranslated) instead of showing it, and installs itself for its lifetime.
class CRecordingSink final : public IMessageSink {
public:
    CRecordingSink() : m_scope(*this) {}
    void ShowMessage(const UserText &text) override { messages.push_back(ComposeText(text)); }
    std::vector<std::string> messages;

private:
    CMessageSinkScope m_scope;
};
