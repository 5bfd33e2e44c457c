#pragma once

namespace s::base {
class IComparable;
class IComparator;
class IDestructor;
class IGenerator;
class IObject;
}
