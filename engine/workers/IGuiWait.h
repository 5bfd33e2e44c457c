#pragma once

#include <functional>

namespace s::video::gui::dialogs::videodl {

// How the engine waits when it may be on the GUI thread. A worker can at any moment be blocked
// handing a request or a row change to the GUI thread, so a GUI thread that simply blocked until
// the worker is done would wait forever; it has to keep serving its queue while it waits.
class IGuiWait {
public:
    virtual ~IGuiWait() = default;

    // Whether the calling thread is the GUI thread.
    virtual bool isGuiThread() const = 0;

    // Returns once `done` answers true, asking it again every few milliseconds. On the GUI thread
    // the work queued for it meanwhile runs; elsewhere the caller just waits.
    virtual void waitServing(const std::function<bool()>& done) = 0;
};

}
