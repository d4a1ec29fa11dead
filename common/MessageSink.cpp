#include "common/MessageSink.h"

#include <cstdio>
#include <utility>

namespace {
IMessageSink *g_pMessageSink = nullptr;

void ShowIn(IMessageSink *sink, const UserText &text)
{
    if (sink) {
        sink->ShowMessage(text);
        return;
    }
    std::fprintf(stderr, "%s\n", TranslateText(text).c_str());
}
} // namespace

void ShowMessage(const UserText &text)
{
    ShowIn(g_pMessageSink, text);
}

void ShowMessage(const std::string &source, std::vector<std::string> args)
{
    ShowMessage(UserText{source, std::move(args)});
}

CMessageSinkScope::CMessageSinkScope(IMessageSink &sink) : m_pPrevious(g_pMessageSink)
{
    g_pMessageSink = &sink;
}

CMessageSinkScope::~CMessageSinkScope()
{
    g_pMessageSink = m_pPrevious;
}

CMessageRecorder::CMessageRecorder(bool passOn) : m_bPassOn(passOn), m_pPrevious(g_pMessageSink)
{
    g_pMessageSink = this;
}

CMessageRecorder::~CMessageRecorder()
{
    g_pMessageSink = m_pPrevious;
}

void CMessageRecorder::ShowMessage(const UserText &text)
{
    m_texts.push_back(text);
    if (m_bPassOn)
        ShowIn(m_pPrevious, text);
}
