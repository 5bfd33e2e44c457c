#include "app/os/SystemVersion.h"

#include <sys/utsname.h>

namespace s::app::os {

namespace {

int32_t readNumber(std::string_view& text)
{
    int64_t value = 0;
    size_t i = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < 1000000)
            value = value * 10 + (text[i] - '0');
        ++i;
    }
    text.remove_prefix(i);
    if (!text.empty() && text[0] == '.')
        text.remove_prefix(1);
    return int32_t(value);
}

}

SystemVersion SystemVersion::fromRelease(std::string_view release)
{
    SystemVersion version;
    version.servicePack = std::string(release.substr(0, 256));
    std::string_view rest = release;
    version.major = readNumber(rest);
    version.minor = readNumber(rest);
    version.build = readNumber(rest);
    return version;
}

const SystemVersion& SystemVersion::current()
{
    static const SystemVersion version = [] {
        struct utsname name {};
        if (::uname(&name) != 0)
            return SystemVersion {};
        return fromRelease(name.release);
    }();
    return version;
}

}
