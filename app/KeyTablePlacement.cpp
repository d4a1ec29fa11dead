#include "app/KeyTablePlacement.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {
// The left edge of the main window's frame, and of the table's, when the table stands at the
// main window's right (or left): the one of the two that moves the main window less.
std::pair<int, int> SideBySide(const QRect &area, const QRect &main, int tableWidth)
{
    const int asRight = std::clamp(main.left(), area.left(), area.right() + 1 - tableWidth - main.width());
    const int asLeft = std::clamp(main.left(), area.left() + tableWidth, area.right() + 1 - main.width());
    if (std::abs(asRight - main.left()) <= std::abs(asLeft - main.left()))
        return {asRight, asRight + main.width()};
    return {asLeft, asLeft - tableWidth};
}
} // namespace

KeyTablePlacement PlaceKeyTable(const KeyTableSurroundings &around)
{
    const QRect &area = around.area;
    const QRect &main = around.mainFrame;
    const QSize table = around.tableSize.grownBy(around.frameMargins);
    if (main.width() + table.width() <= area.width() && table.height() <= area.height()) {
        const auto [mainLeft, tableLeft] = SideBySide(area, main, table.width());
        const int top = std::clamp(main.top(), area.top(), area.bottom() + 1 - table.height());
        const QRect frame(QPoint(tableLeft, top), table);
        return {false, QPoint(mainLeft, main.top()), frame.marginsRemoved(around.frameMargins)};
    }
    // Over the pages, its title bar over the window's header; pulled into the screen, and cut above
    // the Operations group where that brings it down onto them.
    QRect frame = around.pageArea.marginsAdded(around.frameMargins);
    frame.moveTop(std::max(frame.top(), area.top()));
    frame.moveLeft(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
    if (frame.intersects(around.operations))
        frame.setBottom(around.operations.top() - 1);
    return {true, main.topLeft(), frame.marginsRemoved(around.frameMargins)};
}
