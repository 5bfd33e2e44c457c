#pragma once

#include "gui/ILayoutManager.h"

namespace s::gui::layout {

// The flowing-row layout with start alignments and no gaps, as one shared, stateless object.
class FlowH final : public ILayoutManager {
public:
    static FlowH& shared();
    void layout(IContainer& container) override;

private:
    FlowH() = default;
};

}
