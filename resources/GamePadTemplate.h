#pragma once

#include "resources/DialogTemplate.h"

// Dialog template 132: the gamepad page.
const DialogTemplate &GamePadTemplate();
