#include "tools/SettingsTool.h"
#include "translations/Translation.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char *argv[])
{
    // The command line first, so that its --lang chooses the language its refusals are said in.
    const SettingsToolArguments arguments = ReadSettingsToolArguments(std::vector<std::string>(argv + 1, argv + argc));
    // The application object only carries the translation.
    QCoreApplication app(argc, argv);
    if (!SetUpLanguage(arguments.language))
        return 2;
    return RunSettingsTool(arguments, std::cout, std::cerr);
}
