#pragma once

namespace s::video::gui::dialogs::videodl {
class IGuiWait;
class JobCommands;
class JobControl;
}
