#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QWidget;

// One item a window adds to its system menu.
struct SystemMenuItem {
    int id; // a multiple of 16 below 0xF000: the system keeps the low four bits for itself
    QString text;
    std::function<void()> choose;
};

// The window's system menu (the title bar's icon and Alt+Space), where the system has one a
// program may extend: Windows. Elsewhere nothing is added; the window's context menu carries the
// same items there.
class CSystemMenu {
public:
    // Appends a separator and the items to the window's system menu.
    void Add(QWidget &window, std::vector<SystemMenuItem> items);
    // Runs the item a native event of the window chose: true when it was one of them.
    bool Handle(const QByteArray &eventType, void *message, qintptr *result) const;

private:
    std::vector<SystemMenuItem> m_items;
};
