#include "app/CommandLine.h"
#include "app/Dialog.h"
#include "app/os/Startup.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    s::app::CommandLine line = s::app::CommandLine::parse(arguments);
    switch (line.action) {
    case s::app::CommandLine::Action::Help:
        std::fputs(s::app::CommandLine::helpText().c_str(), stdout);
        return 0;
    case s::app::CommandLine::Action::Version:
        std::fputs(s::app::CommandLine::versionText().c_str(), stdout);
        return 0;
    case s::app::CommandLine::Action::Misuse:
        std::fputs(s::app::CommandLine::usageText(line.offending).c_str(), stderr);
        return 2;
    case s::app::CommandLine::Action::Run:
        break;
    }
    s::app::os::Startup::Setup setup;
    setup.arguments = std::move(arguments);
    setup.makeController = [] { return std::make_unique<s::video::gui::dialogs::videodl::Dialog>(); };
    return s::app::os::Startup::runApplication(argc, argv, std::move(setup));
}
