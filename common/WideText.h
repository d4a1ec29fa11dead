#pragma once

#include <string>

// A wide string from a C library (hidapi's serial numbers and error texts) as UTF-8: UTF-16 where
// wchar_t has 16 bits (Windows), UTF-32 elsewhere. A unit that is no character becomes U+FFFD, so
// a malformed string from a device reads as a string, whatever the locale.
std::string Utf8FromWide(const wchar_t *text);

// Appends one character, a code point up to U+10FFFF, in UTF-8.
void AppendUtf8(std::string &out, char32_t c);
