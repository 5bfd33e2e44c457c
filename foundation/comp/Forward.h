#pragma once

namespace s::comp {
class CompP;
class CompS08;
class CompS32;
class CompS64;
class CompU08;
class CompU32;
template<class T>
class ValueComparator;
}
