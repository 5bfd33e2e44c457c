#pragma once

#include "gui/os/IListCellPainter.h"

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QRect>
#include <QString>

#include <cstdint>

class QPainter;

namespace s::gui::os {

// What the list hands to its cell painter for one cell.
struct ListCell {
    QRect rect;
    QString text;
    // 0 left, 1 centre, 2 right.
    int32_t alignment { 0 };
    bool selected { false };
    bool focused { false };
    bool oddRow { false };
    bool highlighted { false };
    bool disabled { false };
    // The value of a progress cell (tenths of a percent) or of a status cell (the job state).
    bool progress { false };
    bool status { false };
    int64_t value { 0 };
    QIcon icon;
};

// Paints the cells of a list: background (alternate rows in their own colour), the selection
// fill, the text, a file icon, and the progress and status looks. The list's drawer takes this
// role over where one is set.
class ListCellPainter final : public IListCellPainter {
public:
    static constexpr int32_t textPadding = 4;
    static constexpr int32_t iconSize = 16;

    ListCellPainter();

    void paint(QPainter& painter, const ListCell& cell) const override;

    // The text colour a job state selects; invalid for the row style's colour.
    static QColor statusColour(int64_t state);
    // How wide the bar of a progress value is in a cell of that width: bands 0 to 1000 (green),
    // 2000 to 3000 (grey) and 4000 to 5000 (red) are each drawn from their base; anything else
    // stays inside the cell.
    static int32_t progressBarWidth(int64_t value, int32_t cellWidth);
    static QColor progressColour(int64_t value);

    void setPalette(const QPalette& palette) { m_palette = palette; }
    void setFonts(const QFont& normal, const QFont& bold)
    {
        m_font = normal;
        m_bold = bold;
    }
    bool alternateRows() const { return m_alternateRows; }
    void setAlternateRows(bool on) { m_alternateRows = on; }
    QColor alternateColour() const { return m_alternate; }
    void setAlternateColour(QColor colour) { m_alternate = colour; }
    bool fullRowSelect() const { return m_fullRowSelect; }
    void setFullRowSelect(bool on) { m_fullRowSelect = on; }

private:
    void paintProgress(QPainter& painter, const ListCell& cell, const QRect& textRect) const;

    QPalette m_palette;
    QFont m_font;
    QFont m_bold;
    bool m_alternateRows { false };
    bool m_fullRowSelect { true };
    QColor m_alternate { 238, 238, 238 };
};

}
