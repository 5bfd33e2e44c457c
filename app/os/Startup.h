#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace s::reg::os {
class Hive;
}

namespace s::app {
class IMainController;
}

namespace s::app::os {

// The program from its entry to the running main window and back out. main() makes the Qt
// application on the main thread and runs its loop there; the start-up sequence runs on a
// second thread and ends the loop when it is done:
//   application object → single-copy check → system check → command line → main window
//   controller (which returns once the window closed and the list was written) → release.
class Startup {
public:
    static constexpr char16_t unsupportedSystemText[] =
        u"This Operating System is currently not supported by this Application. We are sorry for the inconvenience.";

    struct Setup {
        std::vector<std::string> arguments;
        // Makes the main window's controller; called on the start-up thread.
        std::function<std::unique_ptr<IMainController>()> makeController;
        // Opens a web page (the program's page after a silent installation). The desktop's
        // browser by default.
        std::function<void(const std::u16string& url)> openUrl;
        // Another hive file than the user's (tests).
        reg::os::Hive* hive { nullptr };
        // The executable the single-copy check compares; this process's by default.
        std::string executablePath;
    };

    // The whole program: a Qt application on this thread, the sequence on a second one.
    // Returns the process's exit status.
    static int runApplication(int argc, char** argv, Setup setup);

    // The sequence itself (start-up thread). Returns the exit status.
    static int run(Setup setup);
};

}
