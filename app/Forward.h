#pragma once

namespace s::app {
class IAppBase;
class ColumnSettings;
class MainSettings;
class SaveFolder;
}

namespace s::app::os {
class AppBase;
class AppWindow;
class SystemVersion;
class TaskbarProgress;
}
