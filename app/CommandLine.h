#pragma once

#include <string>
#include <vector>

namespace s::app {

// What the program was asked to do on its command line. "--help" and "--version" print and end
// before anything else happens (no settings read, no running copy disturbed); an option the
// program does not know is answered with a short usage text and status 2; "-startup" (any
// letter case) starts in the tray without taking the focus. The window system's own options
// ("-platform xcb", "-display :1", ...) are left for Qt.
class CommandLine {
public:
    enum class Action {
        Run,
        Help,
        Version,
        Misuse,
    };

    static CommandLine parse(const std::vector<std::string>& arguments);

    Action action { Action::Run };
    bool startup { false };
    // The argument that was not understood (Misuse).
    std::string offending;

    static std::string helpText();
    static std::string versionText();
    static std::string usageText(const std::string& offending);
};

}
