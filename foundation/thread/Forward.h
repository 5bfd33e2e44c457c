#pragma once

namespace s::thread {
class EasyPooler;
class Factory;
class IPoolable;
class ObjLocker;
class PoolerBase;
template<class T>
class Pooled;
}
