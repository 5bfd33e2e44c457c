#pragma once

#include <functional>

class QSocketNotifier;

namespace s::app::os {

// Turns SIGTERM, SIGINT and SIGHUP, and the end of the desktop session, into one call on the
// GUI thread, so they take the program's normal close path and the download list is written as
// after a click on the close button. A signal handler may do almost nothing: it writes one byte
// into a pipe that the GUI thread watches.
class TerminationSignals {
public:
    // Installs the handlers; `onTerminate` runs on the GUI thread, once per signal.
    explicit TerminationSignals(std::function<void()> onTerminate);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool installed() const { return m_notifier != nullptr; }

private:
    std::function<void()> m_onTerminate;
    QSocketNotifier* m_notifier { nullptr };
};

}
