#pragma once

namespace s::thread {

// A unit of background work. A thread runs it once, several times or without end (see IThread);
// the thread never owns it, so a task must outlive every run that was handed to a thread.
class ITask {
public:
    virtual ~ITask() = default;
    virtual void run() = 0;
};

}
