// A program that starts like Fetchwick but whose main window is a stand-in: it writes what
// happens to it into the file named by FETCHWICK_PROBE_LOG and "closes" when asked to.

#include "app/IMainController.h"
#include "app/os/Startup.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

void log(const std::string& line)
{
    const char* path = std::getenv("FETCHWICK_PROBE_LOG");
    if (!path)
        return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%d %s\n", int(::getpid()), line.c_str());
        std::fclose(file);
    }
}

class StandIn final : public s::app::IMainController {
public:
    void run(s::app::IAppBase&, s::app::os::AppWindow&, bool startup) override
    {
        log(std::string("started startup=") + (startup ? "1" : "0"));
        std::unique_lock lock(m_lock);
        m_changed.wait(lock, [this] { return m_close; });
        log("closed");
    }
    void requestClose() override
    {
        std::lock_guard lock(m_lock);
        m_close = true;
        m_changed.notify_all();
    }
    void bringForward() override { log("forward"); }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_close { false };
};

}

int main(int argc, char** argv)
{
    s::app::os::Startup::Setup setup;
    for (int i = 1; i < argc; ++i)
        setup.arguments.emplace_back(argv[i]);
    setup.makeController = [] { return std::make_unique<StandIn>(); };
    setup.openUrl = [](const std::u16string&) { log("opened web page"); };
    int status = s::app::os::Startup::runApplication(argc, argv, std::move(setup));
    log("ended");
    return status;
}
