#pragma once

namespace s::app {

class IAppBase;

namespace os {
class AppWindow;
}

// The main window's controller as start-up sees it.
class IMainController {
public:
    virtual ~IMainController() = default;

    // Builds the window, reads the download list, shows the window (without taking the focus
    // and then in the tray when `startup` is set), waits until it is closed, stops every
    // download and writes the list. Runs on the start-up thread.
    virtual void run(IAppBase& app, os::AppWindow& settings, bool startup) = 0;

    // The close path of the close button, for a termination signal or the end of the desktop
    // session. Called on the GUI thread, possibly before run() has shown the window.
    virtual void requestClose() = 0;

    // A second start asked this copy to come forward: out of the tray or minimised state, raised
    // and activated. Called on the GUI thread.
    virtual void bringForward() = 0;
};

}
