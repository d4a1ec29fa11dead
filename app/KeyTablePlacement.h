#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// What the key table's place depends on, in screen coordinates.
struct KeyTableSurroundings {
    QRect area;             // the screen's available area
    QRect mainFrame;        // the main window, its window manager's frame included
    QMargins frameMargins;  // what the window manager adds around a window's content
    QSize tableSize;        // the content of the table's full form
    QRect pageArea;         // the content of the main window's page area, where the narrow form goes
    QRect operations;       // the main window's Operations group, which the table never covers
};

struct KeyTablePlacement {
    bool narrow = false;    // the narrow form, over the page area
    QPoint mainTopLeft;     // where the main window's frame goes: where it is unless it must move
    QRect table;            // the table's content
};

// Beside the main window where the screen holds both side by side, the main window moved as little
// as it must; otherwise the narrow form over the page area, clear of the Operations group.
KeyTablePlacement PlaceKeyTable(const KeyTableSurroundings &around);
