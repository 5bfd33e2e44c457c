#pragma once

namespace s::col {
class CollectionInputStream;
class ICollection;
class IEnumerable;
}

namespace s::col::_array {
class ArrayBase;
template<class T>
class ArrayOf;
class ArrayP;
class ArrayS08;
class ArrayS32;
class ArrayS64;
class ArrayU08;
class ArrayU32;
class Iterator;
}
