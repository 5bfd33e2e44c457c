#include "gui/events/UnEditabler.h"

#include "gui/IComponent.h"

namespace s::gui::events {

void UnEditabler::apply(IComponent* target)
{
    target->setEditable(false);
}

}
