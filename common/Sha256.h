#pragma once

#include <string>
#include <string_view>

// The SHA-256 of bytes, as 64 lowercase hex digits: what the production log names a key map by.
// Written here because nothing tavrin-cli links offers one: Qt's hash would bring QtCore into a
// tool kept free of it, and a crypto library (OpenSSL, libsystemd's) is a large dependency for
// one digest of a small file.
std::string Sha256Hex(std::string_view bytes);
