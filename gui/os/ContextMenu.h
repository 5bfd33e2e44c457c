#pragma once

#include <cstdint>
#include <functional>

namespace s::gui {
class IComponent;
namespace menu {
class IPopupMenu;
}
}

namespace s::gui::os {

// Opens a context menu the way the toolkit's windows and lists do (GUI thread): first `announce`
// runs (the owner fires its event: a list's code 7, a window's code 19), so listeners can enable
// and check the items; then the menu opens at the screen position of the event that asked for it
// (not at the cursor, which Wayland does not report) with the owner's window as its parent, and
// returns when it has closed. The chosen command reaches the menu's listeners right after.
// True when a command was chosen.
bool openContextMenu(menu::IPopupMenu* menu, int32_t screenX, int32_t screenY, IComponent* owner, const std::function<void()>& announce);

}
