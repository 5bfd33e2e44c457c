#include "gui/layout/FlowH.h"

#include "gui/layout/Algorithms.h"

namespace s::gui::layout {

FlowH& FlowH::shared()
{
    static FlowH instance;
    return instance;
}

void FlowH::layout(IContainer& container)
{
    flow(container, 0, 0, 0, 0, nullptr);
}

}
