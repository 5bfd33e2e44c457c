#include "gui/events/Editabler.h"

#include "gui/IComponent.h"

namespace s::gui::events {

void Editabler::apply(IComponent* target)
{
    target->setEditable(true);
}

}
