#include "common/MessageSink.h"

#include <cstdio>

namespace {
IMessageSink *g_pMessageSink = nullptr;
}

void ShowMessage(const std::string &text)
{
    if (g_pMessageSink) {
        g_pMessageSink->ShowMessage(text);
        return;
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

CMessageSinkScope::CMessageSinkScope(IMessageSink &sink) : m_pPrevious(g_pMessageSink)
{
    g_pMessageSink = &sink;
}

CMessageSinkScope::~CMessageSinkScope()
{
    g_pMessageSink = m_pPrevious;
}
