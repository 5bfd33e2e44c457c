#include "gui/events/Enabler.h"

#include "gui/IComponent.h"

namespace s::gui::events {

void Enabler::apply(IComponent* target)
{
    target->setEnabled(true);
}

}
