#include "gui/os/SkinLink.h"

#include "gui/IWindow.h"
#include "gui/drawer/Skinner.h"

namespace s::gui::os {

void SkinLink::attach(IWindow* window, Apply apply)
{
    detach();
    drawer::Skinner* skinner = window ? window->getSkinner() : nullptr;
    if (!skinner)
        return;
    m_skinner = skinner;
    m_apply = std::move(apply);
    m_skinner->addSkinListener(this);
    if (drawer::skin::SkinBase* skin = m_skinner->getCurrentSkin())
        m_apply(*skin);
}

void SkinLink::detach()
{
    if (m_skinner)
        m_skinner->removeSkinListener(this);
    m_skinner = nullptr;
    m_apply = nullptr;
}

void SkinLink::handle(base::IObject* sender, int32_t code)
{
    if (!m_skinner || sender != m_skinner || code != drawer::Skinner::SkinChanged)
        return;
    if (drawer::skin::SkinBase* skin = m_skinner->getCurrentSkin())
        m_apply(*skin);
}

}
