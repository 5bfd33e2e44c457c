#include "gui/events/Binder.h"

#include "gui/IComponent.h"

namespace s::gui::events {

void Binder::addTarget(IComponent* target)
{
    if (target)
        m_targets.push(target);
}

void Binder::handle(base::IObject* sender, int32_t)
{
    if (sender != m_source)
        return;
    for (uint32_t i = 0; i < m_targets.count(); ++i)
        apply(static_cast<IComponent*>(m_targets.at(i)));
}

void Binder::reset()
{
    m_source = nullptr;
    m_targets.clear();
}

}
