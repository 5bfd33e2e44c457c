#pragma once

#include <cstdint>

namespace s::reg {
enum class ValueType : uint32_t;
class HiveKey;
class HiveText;
class MappedData;
}
namespace s::reg::os {
class Hive;
class RegDir;
}
