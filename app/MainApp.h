#pragma once

#include "app/MainDlg.h"

class IHidBackend;

// The application object: builds the main window on the given HID backend, runs it modally and
// ends when it closes. --lang en|zh, TAVRIN_LANG or the locale chooses its language. With a
// watcher, made once the window is on the screen, the window follows the modules as they are
// plugged in and out. --help prints help (a source text to translate) and --version the version,
// and the run ends, with or without a display; a usage error (an unknown option, an unknown
// --lang) ends with status 2 and names what it refused, no display with status 1.
class CMainApp {
public:
    explicit CMainApp(const char *help) : m_pszHelp(help) {}
    int Run(int argc, char *argv[], IHidBackend &backend, CMainDlg::WatcherMaker makeWatcher = nullptr);

private:
    const char *m_pszHelp;
};
