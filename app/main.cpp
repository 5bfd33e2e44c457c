#include "app/CommandLine.h"

#include <cstdio>
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
    // The main window arrives with the toolkit; until then the program says so plainly.
    std::printf("Fetchwick %s: the libraries are built, but the main window is not there yet.\n", FETCHWICK_VERSION);
    return 0;
}
