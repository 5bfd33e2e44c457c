#pragma once

namespace s::gui::draw {

// The looks that once depended on the system's version ask here. The "major version 6 or later"
// flag of the version record is true on every system this program runs on; a Linux kernel's own
// major number (5.x, say) is not what these looks were keyed to.
inline bool isVistaOrLater()
{
    return true;
}

}
