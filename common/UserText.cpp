#include "common/UserText.h"

namespace {
TextTranslator g_translator = nullptr;
}

std::string ComposeText(const std::string &pattern, const std::vector<std::string> &args)
{
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < args.size()) {
            text += args[static_cast<std::size_t>(next - '1')];
            ++i;
        } else if (pattern[i] == '%' && next == '%') {
            text += '%';
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void SetTextTranslator(TextTranslator translator)
{
    g_translator = translator;
}

std::string TranslateText(const UserText &text)
{
    return ComposeText(g_translator ? g_translator(text.source) : text.source, text.args);
}
