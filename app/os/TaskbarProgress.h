#pragma once

#include <cstdint>

namespace s::app::os {

// Download progress on the program's entry in the desktop's dock or task manager, sent as the
// launcher-entry signal on the session bus. Without a session bus every operation does nothing.
class TaskbarProgress {
public:
    // The desktop file the signal names ("application://<id>").
    static constexpr char desktopId[] = "org.pellix.Fetchwick.desktop";

    void showIndeterminate();
    void setValue(uint64_t value, uint64_t total);
    void remove();

    bool visible() const { return m_visible; }
    double fraction() const { return m_fraction; }

private:
    void send();

    bool m_visible { false };
    double m_fraction { 0 };
};

}
