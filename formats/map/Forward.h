#pragma once

namespace s::map {
class IMappedData;
}
