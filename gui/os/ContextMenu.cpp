#include "gui/os/ContextMenu.h"

#include "gui/menu/IPopupMenu.h"
#include "gui/os/UIThread.h"

#include <cassert>

namespace s::gui::os {

bool openContextMenu(menu::IPopupMenu* menu, int32_t screenX, int32_t screenY, IComponent* owner, const std::function<void()>& announce)
{
    assert(UIThread::instance().isCurrent());
    if (announce)
        announce();
    if (!menu)
        return false;
    return menu->showAt(screenX, screenY, owner);
}

}
