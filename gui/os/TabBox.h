#pragma once

#include "foundation/thread/Pool.h"
#include "gui/BoxBase.h"
#include "gui/os/Bound.h"

#include <vector>

class QTabBar;

namespace s::gui::os {

// A container of pages with a row of tabs above them. Each child is a page; its tab shows a text
// or a text id (which follows language switches). Choosing a tab shows that page only and keeps
// the others out of view (showOnlyPage); the pages are stacked, so the box is as large as its
// largest page.
class TabBox : public Bound<BoxBase> {
    S_POOLED_CLASS(TabBox, "s_gui_os_TabBox")
public:
    TabBox() = default;

    // Adds a page with its tab.
    void addPage(IComponent* page, std::u16string_view title);
    void addPageId(IComponent* page, int32_t titleId);
    uint32_t getPageCount() const { return getChildCount(); }
    int32_t getSelectedPage() const
    {
        S_ON_GUI_THREAD(getSelectedPage());
        return m_selected;
    }
    void selectPage(uint32_t index);
    std::u16string getTabText(uint32_t index) const;

    void handle(base::IObject* sender, int32_t code) override;
    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void afterCreate() override;
    void layoutChildren() override;

private:
    struct Tab {
        std::u16string text;
        int32_t textId;
    };
    QTabBar* tabBar() const;
    void syncTabs();

    std::vector<Tab> m_tabs;
    int32_t m_selected { 0 };
};

}
