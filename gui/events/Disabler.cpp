#include "gui/events/Disabler.h"

#include "gui/IComponent.h"

namespace s::gui::events {

void Disabler::apply(IComponent* target)
{
    target->setEnabled(false);
}

}
