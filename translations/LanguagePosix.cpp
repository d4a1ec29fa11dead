#include "translations/Language.h"

Language SystemLanguage()
{
    return Language::Chinese;
}
