#pragma once

class IHidBackend;

// The application object: builds the main window on the given HID backend, runs it modally and
// ends when it closes. --lang en|zh, TAVRIN_LANG or the locale chooses its language.
class CMainApp {
public:
    int Run(int argc, char *argv[], IHidBackend &backend);
};
