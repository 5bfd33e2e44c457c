#pragma once

#include <string>

namespace s::app::os {

// Short messages through the desktop's notification service (the freedesktop notifications
// interface on the session bus), for downloads that end while the window is out of sight. Where
// no service runs, nothing happens. The call never waits for the service's answer.
class DesktopNotifier {
public:
    static constexpr char desktopEntry[] = "org.pellix.Fetchwick";

    // True when the message was handed to a running service.
    static bool notify(const std::u16string& summary, const std::u16string& body);
};

}
