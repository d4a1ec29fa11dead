#pragma once

#include "translations/Language.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The translation of the texts read straight from the compiled translation file (.qm), without
// the toolkit: a program that shows no window (tavrin-cli) starts in a fraction of the time an
// application object takes, and speaks the same words, since the file is the window's.

// Source text to its translation, for one context: one form, or for a counted text its plural
// forms in the order of the translation's language.
using TextCatalog = std::unordered_map<std::string, std::vector<std::string>>;

// The translation of source for count (-1: not counted) as Qt gives it: the plural form English
// takes for count, with %n showing it; the source itself where the catalog has none.
std::string CatalogText(const TextCatalog &catalog, const std::string &source, int count);

// The texts of context in a compiled translation file; nullopt when bytes are no such file.
// Texts without a translation are left out, so they stay in their source language.
std::optional<TextCatalog> ReadTextCatalog(std::string_view bytes, std::string_view context);

// The folders where a program in programFolder looks for its translation, in order: beside the
// program (a build, a portable copy), where a moved installed tree keeps them, then the installed
// folder; never the working folder, where a program folder that cannot be told would lead.
std::vector<std::string> TranslationFolders(const std::string &programFolder);

// SetUpLanguage for a program without an application object: chooses the language in the same
// way from --lang as read (nullopt: none given), and routes TranslateText through the catalog of
// the translation beside the program in programFolder (or in the installed data folder). The same
// messages, with program as their speaker, and the same result.
bool SetUpCatalogLanguage(const std::optional<std::string> &option, const std::string &programFolder, const char *program);
