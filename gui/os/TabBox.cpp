#include "gui/os/TabBox.h"

#include "gui/IWindow.h"
#include "gui/layout/Algorithms.h"
#include "gui/os/Box.h"

#include <QTabBar>

namespace s::gui::os {

namespace {

// The tab box's widget: a box widget with a tab bar along its top edge.
class TabWidget : public BoxWidget {
public:
    TabWidget(BoxBase* box, QWidget* parent)
        : BoxWidget(box, parent)
        , m_bar(new QTabBar(this))
    {
        m_bar->setDrawBase(true);
        m_bar->setExpanding(false);
    }
    QTabBar* bar() const { return m_bar; }

private:
    QTabBar* m_bar;
};

}

QWidget* TabBox::makeWidget(QWidget* parent)
{
    auto* widget = new TabWidget(this, parent);
    QObject::connect(widget->bar(), &QTabBar::currentChanged, widget, [this](int index) {
        if (index >= 0)
            selectPage(static_cast<uint32_t>(index));
    });
    return widget;
}

QTabBar* TabBox::tabBar() const
{
    auto* widget = static_cast<TabWidget*>(m_widget.data());
    return widget ? widget->bar() : nullptr;
}

void TabBox::addPage(IComponent* page, std::u16string_view title)
{
    S_ON_GUI_THREAD(addPage(page, title));
    m_tabs.push_back({ std::u16string(title), -1 });
    syncTabs();
    add(page);
    selectPage(static_cast<uint32_t>(m_selected));
}

void TabBox::addPageId(IComponent* page, int32_t titleId)
{
    S_ON_GUI_THREAD(addPageId(page, titleId));
    std::u16string text;
    if (m_window)
        m_window->lookUpText(titleId, text);
    m_tabs.push_back({ text, titleId });
    syncTabs();
    add(page);
    selectPage(static_cast<uint32_t>(m_selected));
}

std::u16string TabBox::getTabText(uint32_t index) const
{
    S_ON_GUI_THREAD(getTabText(index));
    return index < m_tabs.size() ? m_tabs[index].text : std::u16string();
}

void TabBox::selectPage(uint32_t index)
{
    S_ON_GUI_THREAD(selectPage(index));
    if (index >= getChildCount())
        return;
    m_selected = static_cast<int32_t>(index);
    onUiThread([&] {
        if (QTabBar* bar = tabBar()) {
            QSignalBlocker quiet(bar);
            bar->setCurrentIndex(static_cast<int>(index));
        }
    });
    showOnlyPage(index);
    doLayout();
}

void TabBox::afterCreate()
{
    // The pages sit below the tabs (measured once the tabs are there).
    syncTabs();
    m_top = onUiThread([&] {
        QTabBar* bar = tabBar();
        return bar->count() > 0 ? bar->sizeHint().height() : bar->fontMetrics().height() + 12;
    });
    BoxBase::afterCreate();
    if (getChildCount() > 0)
        selectPage(static_cast<uint32_t>(m_selected));
}

void TabBox::syncTabs()
{
    onUiThread([&] {
        QTabBar* bar = tabBar();
        if (!bar)
            return;
        QSignalBlocker quiet(bar);
        for (size_t i = 0; i < m_tabs.size(); ++i) {
            Tab& tab = m_tabs[i];
            if (tab.textId >= 0 && m_window)
                m_window->lookUpText(tab.textId, tab.text);
            if (static_cast<int>(i) >= bar->count())
                bar->addTab(toQString(tab.text));
            else
                bar->setTabText(static_cast<int>(i), toQString(tab.text));
        }
        bar->setCurrentIndex(m_selected);
    });
}

void TabBox::layoutChildren()
{
    // The pages are stacked: the tab box is as large as the largest page.
    layout::pile(*this, m_hAlign, m_vAlign, &m_content);
    int32_t w = m_width;
    onUiThread([&] {
        if (QTabBar* bar = tabBar())
            bar->setGeometry(0, 0, w, m_top);
    });
}

void TabBox::handle(base::IObject* sender, int32_t code)
{
    BoxBase::handle(sender, code);
    if (code == 0 && m_created)
        syncTabs();
}

void TabBox::reset()
{
    BoxBase::reset();
    m_tabs.clear();
    m_selected = 0;
}

}
