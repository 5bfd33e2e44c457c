#pragma once

#include "gui/ILayoutManager.h"

namespace s::gui::layout {

// The column layout with start alignments and no gaps, as one shared, stateless object.
class Vertical final : public ILayoutManager {
public:
    static Vertical& shared();
    void layout(IContainer& container) override;

private:
    Vertical() = default;
};

}
