#include "gui/layout/Horizontal.h"

#include "gui/layout/Algorithms.h"

namespace s::gui::layout {

Horizontal& Horizontal::shared()
{
    static Horizontal instance;
    return instance;
}

void Horizontal::layout(IContainer& container)
{
    row(container, 0, 0, 0, nullptr);
}

}
