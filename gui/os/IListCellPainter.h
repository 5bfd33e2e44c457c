#pragma once

class QPainter;

namespace s::gui::os {

struct ListCell;

// Whatever paints a list's cells: the list's own ListCellPainter, or a drawer set on the list.
class IListCellPainter {
public:
    virtual ~IListCellPainter() = default;
    virtual void paint(QPainter& painter, const ListCell& cell) const = 0;
};

}
