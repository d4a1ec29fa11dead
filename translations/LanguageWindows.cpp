#include "translations/Language.h"

#include <windows.h>

Language SystemLanguage()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? Language::Chinese : Language::English;
}
