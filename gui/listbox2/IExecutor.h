#pragma once

#include <functional>

namespace s::gui::listbox2 {

// The thread a list's changes run on once the list is shown: the GUI thread, as the toolkit
// provides it. The model stays Qt-free and decides the hop itself.
class IExecutor {
public:
    virtual ~IExecutor() = default;
    // Whether the calling thread is the executor's own.
    virtual bool isCurrent() const = 0;
    // Runs work on the executor's thread and returns when it has run. The caller holds no lock of
    // the list while it waits.
    virtual void runAndWait(const std::function<void()>& work) = 0;
};

}
