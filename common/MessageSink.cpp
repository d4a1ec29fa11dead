#include "common/MessageSink.h"

#include <cstdio>
#include <utility>

namespace {
IMessageSink *g_pMessageSink = nullptr;
}

void ShowMessage(const UserText &text)
{
    if (g_pMessageSink) {
        g_pMessageSink->ShowMessage(text);
        return;
    }
    std::fprintf(stderr, "%s\n", TranslateText(text).c_str());
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
