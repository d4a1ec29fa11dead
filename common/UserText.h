#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// lupdate collects the texts a person reads from QT_TRANSLATE_NOOP markers, always in the context
// "Tavrin". Below the widgets there is no Qt, so the marker is defined here exactly as Qt defines
// it: the text itself.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif
// A text whose translation has plural forms, chosen by UserText::count.
#ifndef QT_TRANSLATE_N_NOOP
#define QT_TRANSLATE_N_NOOP(scope, x) x
#endif

// A text for a person: its Chinese source text, which the translation looks up, and the values
// that fill its places %1..%9. The values are data (key names, paths, numbers) and are never
// translated.
struct UserText {
    std::string source;
    std::vector<std::string> args;
    // For a text marked QT_TRANSLATE_N_NOOP: the number whose plural form the translation takes
    // ("1 key", "5 keys"), which its %n shows. -1 for any other text.
    int count = -1;
};

// The source text with %1..%9 replaced by the values; "%%" stands for one "%". Any other '%' is
// kept as it is, so a fixed text never needs escaping.
std::string ComposeText(const std::string &pattern, const std::vector<std::string> &args);
inline std::string ComposeText(const UserText &text)
{
    return ComposeText(text.source, text.args);
}

// Input quoted in a message (a key-map line, an argument, a file's text): control bytes and DEL
// (C0, DEL and C1) escaped as \xHH, and the whole cut after about maxBytes bytes (at a
// character boundary, "…" marking the cut), so that no escape sequence reaches a terminal and no
// line floods a message box.
inline constexpr std::size_t kQuotedInputBytes = 200;
std::string QuotedInput(std::string_view input, std::size_t maxBytes = kQuotedInputBytes);

// Looks up a source text in the translation of this run, in the plural form for count (-1: none).
using TextTranslator = std::string (*)(const std::string &source, int count);
// Installed once at start by the program that loads a translation; until then texts stay in
// their source language.
void SetTextTranslator(TextTranslator translator);
// The text in the language of this run: its source translated, then its values filled in.
std::string TranslateText(const UserText &text);
