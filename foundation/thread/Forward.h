#pragma once

namespace s::thread {
class EasyPooler;
class Factory;
class IPoolable;
class ITask;
class IThread;
class ObjLocker;
class PoolerBase;
template<class T>
class Pooled;
namespace os {
class Thread;
}
}
