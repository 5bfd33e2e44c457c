#include "gui/layout/Vertical.h"

#include "gui/layout/Algorithms.h"

namespace s::gui::layout {

Vertical& Vertical::shared()
{
    static Vertical instance;
    return instance;
}

void Vertical::layout(IContainer& container)
{
    column(container, 0, 0, 0, nullptr);
}

}
