#pragma once

#include <functional>
#include <memory>
#include <string>

class QLocalServer;

namespace s::app::os {

// Keeps one copy of the program running per user and executable. The first copy listens on a
// local socket in the user's runtime folder; a later start connects there, hands over its
// activation token (so the desktop lets the first copy take the focus) and ends. "Connect, else
// listen" runs under a lock file, so of two copies started at the same moment exactly one
// listens; a socket left behind by a crashed copy answers no connection and is replaced.
class SingleCopy {
public:
    enum class Outcome {
        // This copy is the first: it listens now.
        First,
        // Another copy was asked to come forward; this one ends.
        Forwarded,
        // Neither could be done (no runtime folder, no lock); this copy runs on its own.
        Alone,
    };

    SingleCopy();
    ~SingleCopy();
    SingleCopy(const SingleCopy&) = delete;
    SingleCopy& operator=(const SingleCopy&) = delete;

    // $XDG_RUNTIME_DIR (or a private folder in /tmp) + a name made from the executable's path.
    static std::string socketPath(const std::string& executablePath);

    // Runs on any thread; the listener is made on the GUI thread. `onForward` is called there
    // with the later copy's activation token each time one asks.
    Outcome claim(const std::string& executablePath, const std::string& activationToken,
        std::function<void(const std::string& token)> onForward);

    // The token the desktop gave this start (XDG_ACTIVATION_TOKEN on Wayland, DESKTOP_STARTUP_ID
    // on X11), empty when none.
    static std::string activationToken();

private:
    bool listen(const std::string& path);

    QLocalServer* m_server { nullptr };
    std::function<void(const std::string&)> m_onForward;
};

}
