#pragma once

// Tavrin's version, CMake's project version: what --version prints and the production log names.
const char *TavrinVersion();
