#pragma once

namespace s::map {
class HashTableBase;
class Map;
class MapNode;
class MapTable;
}
