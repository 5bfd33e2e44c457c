#pragma once

#include <cstdint>
#include <string>

namespace s::app::os {

// What the running system is, read once per process (the kernel's release numbers). The two
// "or later" flags of the record are always true here: they name desktop features every
// supported system has.
class SystemVersion {
public:
    bool isNT { true };
    int32_t major { 0 };
    int32_t minor { 0 };
    int32_t build { 0 };
    // The kernel's whole release text, at most 256 characters.
    std::string servicePack;
    bool vistaOrLater { true };
    bool win7OrLater { true };

    // The record of this process, filled on first use (thread-safe).
    static const SystemVersion& current();
    // The record for a release text such as "6.1.0-18-amd64".
    static SystemVersion fromRelease(std::string_view release);

    // Linux 3.2 and later.
    bool isSupported() const { return major > 3 || (major == 3 && minor >= 2); }
};

}
