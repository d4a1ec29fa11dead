#pragma once

#include "common/UserText.h"

#include <string>
#include <vector>

// Every message the tool shows to the user goes through one sink: the GUI installs a sink that
// opens a message box, the tests install one that records the texts in order.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void ShowMessage(const UserText &text) = 0;
};

// Shows a message through the installed sink; without a sink the text, translated, goes to
// standard error.
void ShowMessage(const UserText &text);
// A fixed text, or a text with places %1..%9 and their values.
void ShowMessage(const std::string &source, std::vector<std::string> args = {});

// Installs a sink for the lifetime of this object and restores the previous one afterwards.
class CMessageSinkScope {
public:
    explicit CMessageSinkScope(IMessageSink &sink);
    ~CMessageSinkScope();
    CMessageSinkScope(const CMessageSinkScope &) = delete;
    CMessageSinkScope &operator=(const CMessageSinkScope &) = delete;

private:
    IMessageSink *m_pPrevious;
};
