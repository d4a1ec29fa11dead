#pragma once

#include <string>
#include <vector>

// lupdate collects the texts a person reads from QT_TRANSLATE_NOOP markers, always in the context
// "Tavrin". Below the widgets there is no Qt, so the marker is defined here exactly as Qt defines
// it: the text itself.
#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(scope, x) x
#endif

// A text for a person: its Chinese source text, which the translation looks up, and the values
// that fill its places %1..%9. The values are data (key names, paths, numbers) and are never
// translated.
struct UserText {
    std::string source;
    std::vector<std::string> args;
};

// The source text with %1..%9 replaced by the values; "%%" stands for one "%". Any other '%' is
// kept as it is, so a fixed text never needs escaping.
std::string ComposeText(const std::string &pattern, const std::vector<std::string> &args);
inline std::string ComposeText(const UserText &text)
{
    return ComposeText(text.source, text.args);
}

// Looks up a source text in the translation of this run.
using TextTranslator = std::string (*)(const std::string &source);
// Installed once at start by the program that loads a translation; until then texts stay in
// their source language.
void SetTextTranslator(TextTranslator translator);
// The text in the language of this run: its source translated, then its values filled in.
std::string TranslateText(const UserText &text);
