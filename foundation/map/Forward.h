#pragma once

namespace s::map {
class MapNode;
class MapTable;
}
