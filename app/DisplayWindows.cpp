// Every Windows session that can start the program has a desktop to draw on.
#include "app/Display.h"

bool HasDisplay()
{
    return true;
}
