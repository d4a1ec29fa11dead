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

namespace {
void AppendEscaped(std::string &text, unsigned char byte)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += "\\x";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
}

// A C1 control (U+0080..U+009F) is read by some terminals as the start of an escape sequence too.
bool IsC1Control(std::string_view input, std::size_t i)
{
    return static_cast<unsigned char>(input[i]) == 0xC2 && i + 1 < input.size() &&
           static_cast<unsigned char>(input[i + 1]) >= 0x80 && static_cast<unsigned char>(input[i + 1]) <= 0x9F;
}
} // namespace

std::string QuotedInput(std::string_view input, std::size_t maxBytes)
{
    std::string text;
    std::size_t i = 0;
    for (; i < input.size() && text.size() < maxBytes; ++i) {
        const auto byte = static_cast<unsigned char>(input[i]);
        if (byte < 0x20 || byte == 0x7F) {
            AppendEscaped(text, byte);
        } else if (IsC1Control(input, i)) {
            AppendEscaped(text, byte);
            AppendEscaped(text, static_cast<unsigned char>(input[++i]));
        } else {
            text += static_cast<char>(byte);
        }
    }
    // Finish a character cut in the middle, so that the text stays valid UTF-8.
    while (i < input.size() && (static_cast<unsigned char>(input[i]) & 0xC0) == 0x80)
        text += input[i++];
    if (i < input.size())
        text += "…";
    return text;
}

void SetTextTranslator(TextTranslator translator)
{
    g_translator = translator;
}

std::string TranslateText(const UserText &text)
{
    return ComposeText(g_translator ? g_translator(text.source, text.count) : text.source, text.args);
}
