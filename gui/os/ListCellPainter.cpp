#include "gui/os/ListCellPainter.h"

#include <QPainter>

#include <algorithm>

namespace s::gui::os {

ListCellPainter::ListCellPainter()
{
    m_bold = m_font;
    m_bold.setBold(true);
}

QColor ListCellPainter::statusColour(int64_t state)
{
    switch (state) {
    case 0:
    case 1:
        return QColor(255, 0, 0);
    case 3:
        return QColor(153, 153, 153);
    case 10:
        return QColor(68, 132, 5);
    default:
        return QColor();
    }
}

int32_t ListCellPainter::progressBarWidth(int64_t value, int32_t cellWidth)
{
    int64_t inBand = value;
    if (value >= 4000 && value <= 5000)
        inBand = value - 4000;
    else if (value >= 2000 && value <= 3000)
        inBand = value - 2000;
    inBand = std::clamp<int64_t>(inBand, 0, 1000);
    int64_t room = std::max(0, cellWidth - 4);
    return static_cast<int32_t>(inBand * room / 1000);
}

QColor ListCellPainter::progressColour(int64_t value)
{
    if (value >= 4000 && value <= 5000)
        return QColor(255, 0, 0);
    if (value >= 2000 && value <= 3000)
        return QColor(170, 170, 170);
    return QColor(134, 196, 64);
}

void ListCellPainter::paint(QPainter& painter, const ListCell& cell) const
{
    const QRect& r = cell.rect;
    if (r.isEmpty())
        return;

    // Step 1: the background.
    QColor background = m_palette.color(QPalette::Base);
    if (m_alternateRows && cell.oddRow)
        background = m_alternate;
    painter.fillRect(r, background);
    bool filled = cell.selected && m_fullRowSelect;
    if (filled)
        painter.fillRect(r, m_palette.color(QPalette::Highlight));

    // Step 2: the icon and the room left for the text.
    QRect textRect = r.adjusted(textPadding, 0, -textPadding, 0);
    if (!cell.icon.isNull()) {
        QRect iconRect(r.left() + 2, r.top() + (r.height() - iconSize) / 2, iconSize, iconSize);
        cell.icon.paint(&painter, iconRect);
        textRect.setLeft(iconRect.right() + 1 + textPadding);
    }

    if (cell.progress && cell.value >= 0) {
        paintProgress(painter, cell, textRect);
        return;
    }
    if (cell.text.isEmpty())
        return;

    // Step 3: the text. Only a selected row takes the selected text colour; a row that merely
    // has the focus keeps the normal colour, which stays readable on its normal background.
    QColor colour = m_palette.color(cell.disabled ? QPalette::Disabled : QPalette::Active, QPalette::Text);
    bool bold = cell.highlighted;
    if (cell.status) {
        QColor statusColour = ListCellPainter::statusColour(cell.value);
        if (statusColour.isValid())
            colour = statusColour;
        bold = bold || cell.value == 10;
    }
    if (filled)
        colour = m_palette.color(QPalette::HighlightedText);
    const QFont& font = bold ? m_bold : m_font;
    painter.setFont(font);
    painter.setPen(colour);
    Qt::Alignment horizontal = cell.alignment == 1 ? Qt::AlignHCenter : (cell.alignment == 2 ? Qt::AlignRight : Qt::AlignLeft);
    QString shown = QFontMetrics(font).elidedText(cell.text, Qt::ElideRight, std::max(0, textRect.width()));
    painter.drawText(textRect, static_cast<int>(horizontal | Qt::AlignVCenter | Qt::TextSingleLine), shown);
}

void ListCellPainter::paintProgress(QPainter& painter, const ListCell& cell, const QRect& textRect) const
{
    const QRect& r = cell.rect;
    QRect frame = r.adjusted(1, 2, -1, -2);
    QRect interior = r.adjusted(2, 3, -2, -3);
    if (frame.isEmpty())
        return;
    painter.fillRect(frame, QColor(240, 240, 240));
    if (interior.isEmpty())
        return;
    painter.fillRect(interior, Qt::white);
    int32_t barWidth = std::min(progressBarWidth(cell.value, r.width()), interior.width());
    QRect bar(interior.left(), interior.top(), barWidth, interior.height());
    if (barWidth > 0)
        painter.fillRect(bar, progressColour(cell.value));
    if (cell.text.isEmpty())
        return;
    painter.setFont(m_font);
    int flags = static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    painter.setPen(Qt::black);
    painter.drawText(textRect, flags, cell.text);
    if (barWidth > 0) {
        // The part of the text over the bar again in white.
        painter.save();
        painter.setClipRect(bar);
        painter.setPen(Qt::white);
        painter.drawText(textRect, flags, cell.text);
        painter.restore();
    }
}

}
