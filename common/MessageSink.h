#pragma once

#include <string>

// Every message the tool shows to the user goes through one sink: the GUI installs a sink that
// opens a message box, the tests install one that records the texts in order.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual void ShowMessage(const std::string &text) = 0;
};

// Shows a message through the installed sink; without a sink the text goes to standard error.
void ShowMessage(const std::string &text);

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
