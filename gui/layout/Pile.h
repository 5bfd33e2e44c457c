#pragma once

#include "gui/ILayoutManager.h"

namespace s::gui::layout {

// The stack layout with start alignments and no gaps, as one shared, stateless object.
class Pile final : public ILayoutManager {
public:
    static Pile& shared();
    void layout(IContainer& container) override;

private:
    Pile() = default;
};

}
