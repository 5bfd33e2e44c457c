#pragma once

namespace s::gui {

class IContainer;

// Places the children of a container. Layout managers hold no state, so one instance serves all.
class ILayoutManager {
public:
    virtual ~ILayoutManager() = default;
    virtual void layout(IContainer& container) = 0;
};

}
