#pragma once

#include "resources/DialogTemplate.h"

// Dialog template 131: the mouse page.
const DialogTemplate &MouseTemplate();
