#include "gui/layout/Pile.h"

#include "gui/layout/Algorithms.h"

namespace s::gui::layout {

Pile& Pile::shared()
{
    static Pile instance;
    return instance;
}

void Pile::layout(IContainer& container)
{
    pile(container, 0, 0, nullptr);
}

}
