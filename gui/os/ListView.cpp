#include "gui/os/ListView.h"

#include "gui/listbox2/CellValues.h"
#include "gui/listbox2/DataType.h"
#include "gui/listbox2/ListBoxModel.h"
#include "gui/listbox2/Record.h"
#include "gui/listbox2/SubRecord.h"
#include "gui/os/KeyCodes.h"
#include "gui/os/ListBox2.h"
#include "gui/os/ListHeader.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <mutex>

namespace s::gui::os {

using listbox2::ListBoxModel;

namespace {
ListBoxModel::Modifiers modifiersOf(Qt::KeyboardModifiers modifiers)
{
    return { .shift = modifiers.testFlag(Qt::ShiftModifier), .control = modifiers.testFlag(Qt::ControlModifier) };
}
}

ListView::ListView(ListBox2& owner, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_owner(owner)
    , m_header(new ListHeader(owner.model(), this))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    connect(m_header, &QHeaderView::sectionResized, this, [this] {
        updateGeometries();
        viewport()->update();
    });
    connect(m_header, &QHeaderView::sectionMoved, this, [this] { viewport()->update(); });
    measureRows();
    updateGeometries();
}

void ListView::measureRows()
{
    QFont bold = font();
    bold.setBold(true);
    m_owner.cellPainter().setFonts(font(), bold);
    m_owner.cellPainter().setPalette(palette());
    m_rowHeight = std::max({ 15, QFontMetrics(bold).height() + 4, ListCellPainter::iconSize + 2 });
    verticalScrollBar()->setSingleStep(m_rowHeight);
}

void ListView::setScrollBarsShown(bool vertical, bool horizontal)
{
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void ListView::updateGeometries()
{
    int headerHeight = m_header->sizeHint().height();
    setViewportMargins(0, headerHeight, 0, 0);
    QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);

    int rows = m_owner.model().getRowCount();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setPageStep(std::max(1, area.height()));
    vertical->setRange(0, std::max(0, rows * m_rowHeight - area.height()));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(std::max(1, area.width()));
    horizontal->setSingleStep(20);
    horizontal->setRange(0, std::max(0, m_header->length() - area.width()));
    m_header->setOffset(horizontal->value());
    if (m_scrollObserver)
        m_scrollObserver();
}

int ListView::rowAt(int y) const
{
    if (y < 0)
        return -1;
    int position = (y + verticalScrollBar()->value()) / m_rowHeight;
    return position < m_owner.model().getRowCount() ? position : -1;
}

QRect ListView::rowRect(int position) const
{
    return QRect(0, position * m_rowHeight - verticalScrollBar()->value(), viewport()->width(), m_rowHeight);
}

// --- what the model tells ---

void ListView::rowsChanged()
{
    updateGeometries();
    viewport()->update();
}

void ListView::rowChanged(int32_t position)
{
    QRect rect = rowRect(position);
    if (rect.intersects(viewport()->rect()))
        viewport()->update(rect);
}

void ListView::cellChanged(int32_t position, int32_t column)
{
    QRect row = rowRect(position);
    if (!row.intersects(viewport()->rect()))
        return;
    int x = m_header->sectionViewportPosition(column);
    int place = m_header->visualIndex(column);
    int width = place == m_header->count() - 1 ? viewport()->width() - x : m_header->sectionSize(column);
    viewport()->update(QRect(x, row.top(), width, m_rowHeight));
}

void ListView::columnsChanged()
{
    m_header->sync();
    updateGeometries();
    viewport()->update();
}

void ListView::ensureVisible(int32_t position)
{
    QScrollBar* vertical = verticalScrollBar();
    int top = position * m_rowHeight;
    int height = viewport()->height();
    if (top < vertical->value())
        vertical->setValue(top);
    else if (top + m_rowHeight > vertical->value() + height)
        vertical->setValue(top + m_rowHeight - height);
}

// --- painting ---

void ListView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QRect exposed = event->rect();
    const ListBoxModel& model = m_owner.model();
    std::scoped_lock lock(model.locker());

    int count = static_cast<int>(model.list().rowCount());
    int top = verticalScrollBar()->value();
    int first = std::max(0, (exposed.top() + top) / m_rowHeight);
    int last = std::min(count - 1, (exposed.bottom() + top) / m_rowHeight);
    for (int position = first; position <= last; ++position)
        paintRow(painter, position, exposed);

    int rowsEnd = count * m_rowHeight - top;
    if (exposed.bottom() >= rowsEnd) {
        QRect below(exposed.left(), std::max(rowsEnd, exposed.top()), exposed.width(), exposed.bottom() - std::max(rowsEnd, exposed.top()) + 1);
        painter.fillRect(below, palette().color(QPalette::Base));
    }
}

void ListView::paintRow(QPainter& painter, int position, const QRect& exposed)
{
    ListBoxModel& model = m_owner.model();
    listbox2::Record* row = model.list().row(position);
    if (!row)
        return;
    ++m_paintedRows;
    const IListCellPainter& cells = m_owner.activeCellPainter();
    int y = position * m_rowHeight - verticalScrollBar()->value();
    int width = viewport()->width();
    int places = m_header->count();
    bool focused = model.focusRow().row == row;
    int right = 0;
    for (int place = 0; place < places; ++place) {
        int column = m_header->logicalIndex(place);
        if (m_header->isSectionHidden(column))
            continue;
        int x = m_header->sectionViewportPosition(column);
        int w = m_header->sectionSize(column);
        // The column shown last reaches the right edge.
        if (place == places - 1)
            w = std::max(w, width - x);
        right = x + w;
        QRect rect(x, y, w, m_rowHeight);
        if (!rect.intersects(exposed))
            continue;

        ListCell cell;
        cell.rect = rect;
        cell.selected = row->isSelected();
        cell.focused = focused;
        cell.oddRow = position % 2 == 1;
        cell.highlighted = row->isHighlighted();
        cell.disabled = row->isDisabled();
        const listbox2::DataType* type = model.list().column(column);
        if (type)
            cell.alignment = static_cast<int32_t>(type->alignment());
        if (listbox2::SubRecord* sub = row->cell(column)) {
            std::u16string_view text = sub->text();
            cell.text = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
            listbox2::Formatter formatter = sub->formatter();
            cell.progress = formatter && formatter == m_owner.progressFormatter();
            cell.status = formatter && formatter == m_owner.statusFormatter();
            if (cell.progress || cell.status)
                cell.value = listbox2::toS32(sub->value());
            if (type && type->showsFileIcon() && !sub->attachedPath().empty())
                cell.icon = m_owner.iconCache().iconFor(sub->attachedPath());
        }
        cells.paint(painter, cell);
    }
    if (right < width && right < exposed.right() + 1)
        painter.fillRect(QRect(right, y, width - right, m_rowHeight), palette().color(QPalette::Base));
    if (focused && hasFocus()) {
        painter.save();
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(0, y, width - 1, m_rowHeight - 1));
        painter.restore();
    }
}

void ListView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateGeometries();
}

void ListView::scrollContentsBy(int dx, int dy)
{
    if (dx)
        m_header->setOffset(horizontalScrollBar()->value());
    // What is painted moves; only the strip that comes into view is painted.
    viewport()->scroll(dx, dy);
    if (m_scrollObserver)
        m_scrollObserver();
}

void ListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        measureRows();
        updateGeometries();
        viewport()->update();
    }
    QAbstractScrollArea::changeEvent(event);
}

void ListView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ListView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

// --- input ---

void ListView::mousePressEvent(QMouseEvent* event)
{
    int position = rowAt(static_cast<int>(event->position().y()));
    switch (event->button()) {
    case Qt::LeftButton:
        setFocus(Qt::MouseFocusReason);
        m_owner.model().clickRow(position < 0 ? INT_MAX : position, modifiersOf(event->modifiers()));
        event->accept();
        return;
    case Qt::RightButton: {
        setFocus(Qt::MouseFocusReason);
        bool open = m_owner.model().rightPress(position);
        if (open && m_owner.contextMenuHook()) {
            QPoint at = event->globalPosition().toPoint();
            m_owner.contextMenuHook()(at.x(), at.y());
        }
        event->accept();
        return;
    }
    case Qt::MiddleButton:
        // The window reacts to the middle button.
        event->ignore();
        return;
    default:
        QAbstractScrollArea::mousePressEvent(event);
    }
}

void ListView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        int position = rowAt(static_cast<int>(event->position().y()));
        if (position >= 0)
            m_owner.model().dragOver(position);
    }
    event->accept();
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    int position = rowAt(static_cast<int>(event->position().y()));
    if (position < 0)
        return;
    // The second press of a double click arrives as this event alone: it selects as a press does.
    if (!m_owner.model().isSelectedAt(position))
        m_owner.model().clickRow(position, modifiersOf(event->modifiers()));
    m_owner.model().doubleClickRow(position);
    event->accept();
}

void ListView::keyPressEvent(QKeyEvent* event)
{
    ListBoxModel& model = m_owner.model();
    if (model.keyPressed(keyCodeOf(*event))) {
        event->accept();
        return;
    }
    using Nav = ListBoxModel::NavKey;
    Nav key;
    switch (event->key()) {
    case Qt::Key_Up:
        key = Nav::Up;
        break;
    case Qt::Key_Down:
        key = Nav::Down;
        break;
    case Qt::Key_PageUp:
        key = Nav::PageUp;
        break;
    case Qt::Key_PageDown:
        key = Nav::PageDown;
        break;
    case Qt::Key_Home:
        key = Nav::Home;
        break;
    case Qt::Key_End:
        key = Nav::End;
        break;
    case Qt::Key_Space:
        key = Nav::Space;
        break;
    case Qt::Key_A:
        if (!event->modifiers().testFlag(Qt::ControlModifier)) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        key = Nav::SelectAll;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    int pageRows = std::max(1, viewport()->height() / m_rowHeight);
    if (model.navigate(key, modifiersOf(event->modifiers()), pageRows))
        event->accept();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void ListView::wheelEvent(QWheelEvent* event)
{
    QPoint units = event->angleDelta();
    int turn = units.y() != 0 ? units.y() : units.x();
    if (turn == 0) {
        event->ignore();
        return;
    }
    int pixels = m_wheel.scroll(turn, QApplication::wheelScrollLines(), m_rowHeight);
    QScrollBar* bar = verticalScrollBar()->maximum() > 0 ? verticalScrollBar() : horizontalScrollBar();
    bar->setValue(bar->value() + pixels);
    event->accept();
}

}
