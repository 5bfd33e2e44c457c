#pragma once

#include "foundation/thread/Pool.h"
#include "gui/os/Box.h"

namespace s::gui::os {

class ListBox2;
class ScrollBar;

// A list with the toolkit's own scroll bars: a column box holding a row box (the list, then a
// vertical ScrollBar) and a horizontal ScrollBar below. The list's platform bars stay hidden; the
// list tells the bars after every change of rows, size or scroll position, both bars' visibility
// is decided together, and the bars scroll the list. Sized as percentages of its parent (100 and
// 100 unless set).
class ListBoxEx : public Box {
    S_POOLED_CLASS(ListBoxEx, "s_gui_os_ListBoxEx")
public:
    ListBoxEx() = default;

    bool create(IContainer* parent) override;

    ListBox2* list();
    ScrollBar* verticalBar();
    ScrollBar* horizontalBar();

    // The scroll bars' moves (code 1).
    void handle(base::IObject* sender, int32_t code) override;

    void reset() override;

private:
    void ensureParts();
    void syncBars();

    Box* m_column { nullptr };
    Box* m_row { nullptr };
    ListBox2* m_list { nullptr };
    ScrollBar* m_vertical { nullptr };
    ScrollBar* m_horizontal { nullptr };
    bool m_syncing { false };
};

}
