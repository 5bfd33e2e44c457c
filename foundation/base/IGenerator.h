#pragma once

namespace s::base {

class IGenerator {
public:
    virtual ~IGenerator() = default;
    virtual void* generate() = 0;
};

}
