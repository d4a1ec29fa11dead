#pragma once

#include "resources/DialogTemplate.h"

// Dialog template 130: the keyboard page.
const DialogTemplate &KeyboardTemplate();
