#pragma once

#include <cstdint>

// The toolkit types a download job refers to. The engine holds them by pointer only, so it
// builds without the toolkit; a job without a row simply has nothing to update.
namespace s::gui {
class IWindow;
}

namespace s::gui::listbox2 {
class ListBoxModel;
class Record;
}

namespace s::video::gui::dialogs::videodl {
class DlThread;
class DownloadFolder;
class LaunchGate;
class LineSplitter;
class OutputReader;
class ToolCommand;
class ToolLocator;
class ToolRunner;
struct ToolRequest;
enum class JobState : int32_t;
}
