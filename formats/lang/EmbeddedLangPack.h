#pragma once

#include <cstdint>
#include <span>

namespace s::lang {

// The language pack that ships inside the program (data/lang.xml with its build values filled
// in), as UTF-8 bytes. A NUL follows the data but is not counted.
class EmbeddedLangPack {
public:
    static std::span<const uint8_t> bytes();
};

}
