#include "app/CommandLine.h"

#include <string_view>

namespace s::app {

namespace {

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? char(a[i] + 32) : a[i];
        char y = b[i] >= 'A' && b[i] <= 'Z' ? char(b[i] + 32) : b[i];
        if (x != y)
            return false;
    }
    return true;
}

// Options Qt takes for itself, and whether each is followed by a value.
struct QtOption {
    std::string_view name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    { "-platform", true }, { "-platformpluginpath", true }, { "-platformtheme", true }, { "-plugin", true },
    { "-qwindowgeometry", true }, { "-qwindowtitle", true }, { "-qwindowicon", true }, { "-style", true },
    { "-stylesheet", true }, { "-display", true }, { "-geometry", true }, { "-title", true }, { "-name", true },
    { "-session", true }, { "-reverse", false }, { "-widgetcount", false }, { "-nograb", false }, { "-dograb", false },
    { "-sync", false },
};

const QtOption* qtOption(std::string_view argument)
{
    // Qt accepts its options with one or two dashes and "name=value".
    std::string_view name = argument;
    if (name.substr(0, 2) == "--")
        name.remove_prefix(1);
    size_t equals = name.find('=');
    if (equals != std::string_view::npos)
        name = name.substr(0, equals);
    for (const QtOption& option : qtOptions) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

}

CommandLine CommandLine::parse(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h" || argument == "-?") {
            line.action = Action::Help;
            return line;
        }
        if (argument == "--version" || argument == "-v") {
            line.action = Action::Version;
            return line;
        }
        if (equalsIgnoreCase(argument, "-startup")) {
            line.startup = true;
            continue;
        }
        if (const QtOption* option = qtOption(argument)) {
            if (option->takesValue && argument.find('=') == std::string::npos)
                ++i;
            continue;
        }
        line.action = Action::Misuse;
        line.offending = argument;
        return line;
    }
    return line;
}

std::string CommandLine::helpText()
{
    return "Usage: fetchwick [-startup]\n"
           "Downloads videos, or only their audio as MP3, from web pages.\n"
           "\n"
           "  -startup     start in the system tray without taking the focus\n"
           "  --help       show this text and end\n"
           "  --version    show the version and end\n"
           "\n"
           "Paste, drag or copy a link into the window to download it. Starting Fetchwick again\n"
           "brings the running copy forward.\n";
}

std::string CommandLine::versionText()
{
    return std::string("Fetchwick ") + FETCHWICK_VERSION + "\n";
}

std::string CommandLine::usageText(const std::string& offending)
{
    return "fetchwick: unknown option '" + offending + "'\nUsage: fetchwick [-startup] [--help] [--version]\n";
}

}
