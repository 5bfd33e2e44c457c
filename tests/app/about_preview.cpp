// Shows the about window over a plain parent window with the shipped language pack, for looking
// at it on a real display:
//
//   app_about_preview [seconds]     closes by itself after that many seconds (default: when closed)

#include "app/dialogs/About3.h"
#include "app/os/AppBase.h"
#include "formats/reg/os/Hive.h"
#include "gui/os/Window.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
    int seconds = argc > 1 ? std::atoi(argv[1]) : 0;
    // Its own settings, so the preview never touches the user's.
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("fetchwick-about-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);

    s::thread::Pooled<s::app::os::AppBase> app = s::thread::Pooled<s::app::os::AppBase>::adopt(s::app::os::AppBase::get());
    s::app::os::AppBase::Setup setup;
    setup.hive = &s::reg::os::Hive::forFile(folder / "registry.reg");
    if (!app->initialize(setup))
        return 1;

    s::thread::Pooled<s::gui::os::Window> parent = s::gui::os::Window::make();
    parent->setTitle(u"Fetchwick");
    parent->setBounds(20, 20, 700, 520);
    parent->show(true, true);

    s::thread::Pooled<s::gui::dialogs::About3> about;
    about->show(*app, parent.get());
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
    } else {
        while (about->isOpen())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    about.replace();
    parent.replace();
    app.replace();
    std::filesystem::remove_all(folder);
    return 0;
}
