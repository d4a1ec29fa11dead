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

// Keeps the messages shown while it lives, in order, as a sink installed for its lifetime; with
// passOn each also goes on to the sink installed before it (standard error when there was none).
// A caller that words an outcome itself (a log line, a log file) learns what was said.
class CMessageRecorder final : public IMessageSink {
public:
    explicit CMessageRecorder(bool passOn);
    ~CMessageRecorder() override;
    CMessageRecorder(const CMessageRecorder &) = delete;
    CMessageRecorder &operator=(const CMessageRecorder &) = delete;

    void ShowMessage(const UserText &text) override;
    const std::vector<UserText> &Texts() const { return m_texts; }

private:
    bool m_bPassOn;
    IMessageSink *m_pPrevious;
    std::vector<UserText> m_texts;
};
