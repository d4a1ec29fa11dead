#include "common/Version.h"

const char *TavrinVersion()
{
    return TAVRIN_VERSION;
}
