#pragma once

#include "gui/ILayoutManager.h"

namespace s::gui::layout {

// The row layout with start alignments and no gaps, as one shared, stateless object.
class Horizontal final : public ILayoutManager {
public:
    static Horizontal& shared();
    void layout(IContainer& container) override;

private:
    Horizontal() = default;
};

}
