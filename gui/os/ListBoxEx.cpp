#include "gui/os/ListBoxEx.h"

#include "gui/listbox2/ScrollBarNeeds.h"
#include "gui/os/ListBox2.h"
#include "gui/os/ListHeader.h"
#include "gui/os/ListView.h"
#include "gui/os/ScrollBar.h"

#include <QScrollBar>

namespace s::gui::os {

void ListBoxEx::ensureParts()
{
    if (m_column)
        return;
    setWidthPercent(100, false);
    setHeightPercent(100, false);
    m_column = Box::get();
    m_column->layoutVertical();
    m_column->setCollapseWidth(true);
    m_column->setCollapseHeight(true);
    m_row = Box::get();
    m_row->layoutHorizontal();
    m_row->setCollapseWidth(true);
    m_row->setCollapseHeight(true);
    m_list = ListBox2::get();
    m_list->setScrollBars(false, false);
    m_vertical = ScrollBar::get();
    m_vertical->setAxis(1);
    m_vertical->setVisible(false);
    m_vertical->addScrollListener(this);
    m_horizontal = ScrollBar::get();
    m_horizontal->setAxis(0);
    m_horizontal->setVisible(false);
    m_horizontal->addScrollListener(this);
    m_row->add(m_list);
    m_row->add(m_vertical);
    m_column->add(m_row);
    m_column->add(m_horizontal);
    add(m_column);
}

bool ListBoxEx::create(IContainer* parent)
{
    if (parent)
        ensureParts();
    bool created = Box::create(parent);
    if (created && parent) {
        onUiThread([&] {
            if (ListView* view = m_list->view())
                view->setScrollObserver([this] { syncBars(); });
            syncBars();
        });
    }
    return created;
}

ListBox2* ListBoxEx::list()
{
    ensureParts();
    return m_list;
}

ScrollBar* ListBoxEx::verticalBar()
{
    ensureParts();
    return m_vertical;
}

ScrollBar* ListBoxEx::horizontalBar()
{
    ensureParts();
    return m_horizontal;
}

void ListBoxEx::syncBars()
{
    ListView* view = m_list ? m_list->view() : nullptr;
    if (!view || m_syncing)
        return;
    m_syncing = true;
    // Twice at most: showing a bar resizes the list, which may change what the other needs.
    for (int round = 0; round < 2; ++round) {
        int headerHeight = view->header()->sizeHint().height();
        int frame = view->frameWidth() * 2;
        int contentWidth = view->header()->length() + frame;
        int contentHeight = m_list->model().getRowCount() * view->rowHeight() + headerHeight + frame;
        int barWidth = m_vertical->getVisibleFlag() ? m_vertical->getWidth() : m_vertical->getMinWidth();
        int barHeight = m_horizontal->getVisibleFlag() ? m_horizontal->getHeight() : m_horizontal->getMinHeight();
        auto needs = listbox2::ScrollBarNeeds::compute(contentWidth, contentHeight, getInnerWidth(), getInnerHeight(),
            barWidth > 0 ? barWidth : 15, barHeight > 0 ? barHeight : 15);
        bool changed = false;
        if (m_vertical->getVisibleFlag() != needs.vertical) {
            m_vertical->setVisible(needs.vertical);
            changed = true;
        }
        if (m_horizontal->getVisibleFlag() != needs.horizontal) {
            m_horizontal->setVisible(needs.horizontal);
            changed = true;
        }
        if (!changed)
            break;
    }
    QScrollBar* v = view->verticalScrollBar();
    QScrollBar* h = view->horizontalScrollBar();
    m_vertical->setRange(0, v->maximum(), v->pageStep());
    m_vertical->setValue(v->value());
    m_horizontal->setRange(0, h->maximum(), h->pageStep());
    m_horizontal->setValue(h->value());
    m_syncing = false;
}

void ListBoxEx::handle(base::IObject* sender, int32_t code)
{
    if (code == 1 && m_list && (sender == m_vertical || sender == m_horizontal)) {
        onUiThread([&] {
            ListView* view = m_list->view();
            if (!view)
                return;
            if (sender == m_vertical)
                view->verticalScrollBar()->setValue(m_vertical->getValue());
            else
                view->horizontalScrollBar()->setValue(m_horizontal->getValue());
        });
        return;
    }
    Box::handle(sender, code);
}

void ListBoxEx::reset()
{
    if (m_list && m_list->view())
        onUiThread([&] { m_list->view()->setScrollObserver(nullptr); });
    Box::reset();
    m_column = nullptr;
    m_row = nullptr;
    m_list = nullptr;
    m_vertical = nullptr;
    m_horizontal = nullptr;
    m_syncing = false;
}

}
