#pragma once

#include "gui/listbox2/IListView.h"
#include "gui/listbox2/WheelScroller.h"

#include <QAbstractScrollArea>

#include <functional>

namespace s::gui::os {

class ListBox2;
class ListHeader;

// The widget of a ListBox2: a scroll area whose viewport paints only the rows it exposes, row by
// row from the list's model, and scrolls in pixels by moving what is already painted. The header
// sits above the viewport. GUI thread only.
class ListView final : public QAbstractScrollArea
    , public listbox2::IListView {
public:
    ListView(ListBox2& owner, QWidget* parent);

    ListHeader* header() const { return m_header; }
    int rowHeight() const { return m_rowHeight; }
    // The row at a viewport y, -1 below the last row.
    int rowAt(int y) const;
    QRect rowRect(int position) const;
    // Rows painted since the count was cleared (what a scroll costs).
    int paintedRows() const { return m_paintedRows; }
    void clearPaintedRows() { m_paintedRows = 0; }
    // Called after every change of the scroll ranges or position (a ListBoxEx follows with its own
    // bars).
    void setScrollObserver(std::function<void()> observer) { m_scrollObserver = std::move(observer); }
    // Scroll bars shown when needed, or never.
    void setScrollBarsShown(bool vertical, bool horizontal);

    void rowsChanged() override;
    void rowChanged(int32_t position) override;
    void cellChanged(int32_t position, int32_t column) override;
    void columnsChanged() override;
    void ensureVisible(int32_t position) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void updateGeometries();
    void measureRows();
    void paintRow(QPainter& painter, int position, const QRect& exposed);

    ListBox2& m_owner;
    ListHeader* m_header;
    int m_rowHeight { 15 };
    int m_paintedRows { 0 };
    listbox2::WheelScroller m_wheel;
    std::function<void()> m_scrollObserver;
};

}
