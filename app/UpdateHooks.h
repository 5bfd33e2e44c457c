#pragma once

#include "app/UpdateCheck.h"

namespace s::gui::os {
class Window;
}

namespace s::app {

class IAppBase;

// The hooks of the update check in the running program: the question window over the main
// window ("FlexAskerWindow", check box without text) and the desktop's opener for the web page.
UpdateCheck::Hooks makeUpdateHooks(IAppBase& app, gui::os::Window* mainWindow);

}
