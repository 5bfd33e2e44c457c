#pragma once

// Shared helpers of the toolkit tests: a real window on the GUI thread (offscreen platform) and
// real components in it.

#include "foundation/thread/Pool.h"
#include "gui/os/Box.h"
#include "gui/os/Label.h"
#include "gui/os/UIThread.h"
#include "gui/os/Window.h"

#include <gtest/gtest.h>

#include <QRect>
#include <QWidget>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace guitest {

using s::gui::IComponent;
using s::gui::os::Box;
using s::gui::os::Label;
using s::gui::os::Window;
using s::gui::os::onUiThread;

// A leaf with the given limits (a label that does not size itself to a text).
inline Label* leaf(int32_t minW, int32_t minH, int32_t maxW, int32_t maxH)
{
    Label* label = Label::get();
    label->setAutoSize(false);
    label->setMinSize(minW, minH);
    label->setMaxSize(maxW, maxH);
    return label;
}

// Where the platform window of a component stands inside its parent's.
inline QRect geometryOf(const IComponent* c)
{
    return onUiThread([&] {
        auto* w = static_cast<QWidget*>(c->getNativeHandle());
        return w ? w->geometry() : QRect();
    });
}

inline bool shownOnPlatform(const IComponent* c)
{
    return onUiThread([&] {
        auto* w = static_cast<QWidget*>(c->getNativeHandle());
        return w && !w->isHidden();
    });
}

// Records every event it hears (on the GUI thread, read by the test's thread).
struct Recorder : s::gui::events::IEventListener {
    struct Event {
        s::base::IObject* sender;
        int32_t code;
    };
    void handle(s::base::IObject* sender, int32_t code) override
    {
        std::lock_guard lock(mutex);
        events.push_back({ sender, code });
    }
    int count(int32_t code) const
    {
        std::lock_guard lock(mutex);
        int n = 0;
        for (const Event& e : events)
            n += e.code == code ? 1 : 0;
        return n;
    }
    size_t size() const
    {
        std::lock_guard lock(mutex);
        return events.size();
    }
    Event at(size_t i) const
    {
        std::lock_guard lock(mutex);
        return events.at(i);
    }

private:
    mutable std::mutex mutex;
    std::vector<Event> events;
};

// Waits (polling) up to five seconds for a condition that the GUI thread makes true.
template<class F>
bool eventually(F condition)
{
    for (int i = 0; i < 500; ++i) {
        if (onUiThread(condition))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A window (hidden, big enough) with one box of a fixed size in it, whose inner area is what the
// layouts under test work on.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = Window::make();
        window->setSize(1200, 900);
    }

    // A created box of the given outer size in the window.
    Box* fixedBox(int32_t w, int32_t h)
    {
        Box* box = Box::get();
        box->setFixedWidth(w, false);
        box->setFixedHeight(h, false);
        window->add(box);
        return box;
    }

    s::thread::Pooled<Window> window;
};

}
