#pragma once

#include <cstdint>

namespace s::gui {

// A top-level window as the rest of the program sees it, free of Qt so that the engine and its
// tests can talk to windows without a display.
//
// Request channel: sendRequest(name, a1, a2, a3) may be called from any thread. It blocks until
// the window's UI thread has handled the request and returns the result word a listener set; on
// the UI thread itself it runs at once. A window that has no platform window any more drops
// requests and returns 0 without blocking. Names are compared by identity: senders and handlers
// share one constant per kind of request (see engine/WorkerEvents.h for the workers' kinds).
// Words that are addresses stay valid only until the call returns.
class IWindow {
public:
    virtual ~IWindow() = default;

    virtual intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t a3) = 0;
};

}
