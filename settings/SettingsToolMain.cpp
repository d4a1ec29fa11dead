#include "settings/SettingsTool.h"
#include "translations/Translation.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char *argv[])
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // The application object only carries the translation; the tool reads its own arguments.
    QCoreApplication app(argc, argv);
    if (!SetUpLanguage(args))
        return 2;
    return RunSettingsTool(args, std::cout, std::cerr);
}
