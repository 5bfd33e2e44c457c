#pragma once

#include <cstdint>
#include <string>

namespace s::gui {

class IContainer;
class FontSetting;

namespace events {
class IEventListener;
}
namespace drawer {
class Skinner;
}

// A top-level window as the rest of the program sees it, free of Qt so that the engine and its
// tests can talk to windows without a display.
//
// Request channel: sendRequest(name, a1, a2, a3) may be called from any thread. It blocks until
// the window's UI thread has handled the request and returns the result word a listener set; on
// the UI thread itself it runs at once. A window that has no platform window any more drops
// requests and returns 0 without blocking. Names are compared by identity: senders and handlers
// share one constant per kind of request (see engine/WorkerEvents.h for the workers' kinds).
// Words that are addresses stay valid only until the call returns.
//
// The other operations have harmless defaults so that a stand-in window in a test only needs the
// request channel; the toolkit's window (s::gui::os::Window) answers them all.
class IWindow {
public:
    virtual ~IWindow() = default;

    virtual intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t a3) = 0;

    // A number that changes each time the window changes hands (made or taken from its pool,
    // given back), never repeating in the process. Whoever keeps a window pointer for later keeps
    // the generation with it: a different generation means the window it meant is gone. Cheap,
    // any thread.
    virtual uint64_t generation() const { return 0; }
    // sendRequest to the window of that generation only: a request to a window that has changed
    // hands since is dropped (0) without reaching anybody. The check is made on the UI thread,
    // where a window changes hands, so a window released while the request travels drops it too.
    virtual intptr_t sendRequestTo(uint64_t generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3)
    {
        return generation == this->generation() ? sendRequest(name, a1, a2, a3) : 0;
    }

    // The window as the container of its components.
    virtual IContainer* asContainer() { return nullptr; }

    // Texts by id from the window's language service; false when there is no service.
    virtual bool lookUpText(int32_t /*id*/, std::u16string& /*out*/) { return false; }
    // Listeners hear handle(language service, 0) after the window's language changed.
    virtual void addLanguageListener(events::IEventListener* /*listener*/) { }
    virtual void removeLanguageListener(events::IEventListener* /*listener*/) { }
    // The window-wide font size setting, or null.
    virtual FontSetting* getFontSetting() { return nullptr; }
    // The skins the window's components take their drawers from, or null for an unskinned window.
    virtual drawer::Skinner* getSkinner() const { return nullptr; }
};

}
