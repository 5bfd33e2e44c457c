#pragma once

#include <cstdint>

namespace s::base {
class IObject;
}

namespace s::gui::events {

// Everything a component, a window or a service reports reaches the application as one call:
// handle(sender, code). The code's meaning depends on the sender's kind; a listener that watches
// several senders tells them apart by comparing the sender with the objects it holds.
class IEventListener {
public:
    virtual ~IEventListener() = default;
    virtual void handle(base::IObject* sender, int32_t code) = 0;
};

}
