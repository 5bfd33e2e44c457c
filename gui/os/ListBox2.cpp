#include "gui/os/ListBox2.h"

#include "gui/os/ListHeader.h"
#include "gui/os/ListView.h"

namespace s::gui::os {

ListBox2::ListBox2()
    : m_model(std::make_unique<listbox2::ListBoxModel>())
{
    m_model->setEventSender(this);
}

ListBox2::~ListBox2() = default;

QWidget* ListBox2::makeWidget(QWidget* parent)
{
    return new ListView(*this, parent);
}

ListView* ListBox2::view() const
{
    return static_cast<ListView*>(widget());
}

ListHeader* ListBox2::getHeader() const
{
    ListView* v = view();
    return v ? v->header() : nullptr;
}

int32_t ListBox2::rowHeight() const
{
    return onUiThread([&] {
        ListView* v = view();
        return v ? v->rowHeight() : 15;
    });
}

void ListBox2::afterCreate()
{
    setMinSize(40, 40);
    setMaxSize(100000, 100000);
    applyOptions();
    m_model->setView(view());
    m_model->setExecutor(&m_executor);
    view()->columnsChanged();
}

void ListBox2::beforeDestroy()
{
    onUiThread([&] {
        m_model->setView(nullptr);
        m_model->setExecutor(nullptr);
    });
}

void ListBox2::applyOptions()
{
    onUiThread([&] {
        ListView* v = view();
        if (!v)
            return;
        v->setFrameShape(m_border ? QFrame::StyledPanel : QFrame::NoFrame);
        v->setScrollBarsShown(m_verticalBar, m_horizontalBar);
        v->viewport()->update();
    });
}

void ListBox2::setContextMenu(ContextMenuHook hook)
{
    onUiThread([&] {
        m_contextMenu = std::move(hook);
        m_model->setContextMenuAttached(static_cast<bool>(m_contextMenu));
    });
}

void ListBox2::setFullRowSelect(bool on)
{
    onUiThread([&] {
        m_model->setFullRowSelect(on);
        m_painter.setFullRowSelect(on);
    });
    applyOptions();
}

void ListBox2::setAlternateRows(bool on)
{
    onUiThread([&] { m_painter.setAlternateRows(on); });
    applyOptions();
}

void ListBox2::setAlternateRowColour(uint8_t r, uint8_t g, uint8_t b)
{
    onUiThread([&] { m_painter.setAlternateColour(QColor(r, g, b)); });
    applyOptions();
}

void ListBox2::setCellPainter(const IListCellPainter* painter)
{
    onUiThread([&] { m_customPainter = painter; });
    applyOptions();
}

void ListBox2::setBorder(bool on)
{
    if (m_border == on)
        return;
    m_border = on;
    applyOptions();
}

void ListBox2::setScrollBars(bool vertical, bool horizontal)
{
    m_verticalBar = vertical;
    m_horizontalBar = horizontal;
    applyOptions();
}

void ListBox2::reset()
{
    Component::reset();
    m_model = std::make_unique<listbox2::ListBoxModel>();
    m_model->setEventSender(this);
    m_painter = ListCellPainter();
    m_customPainter = nullptr;
    m_icons = FileIconCache();
    m_contextMenu = nullptr;
    m_progressFormatter = nullptr;
    m_statusFormatter = nullptr;
    m_border = true;
    m_verticalBar = true;
    m_horizontalBar = true;
}

}
