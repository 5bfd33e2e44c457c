#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"

namespace s::gui::drawer {

// A drawer knows how to paint one kind of component and carries its colours and switches. Drawers
// are pooled: whoever owns one releases it, and the pool's reset brings back the defaults. They
// paint through a draw::ICanvas and never touch the platform.
class IDrawer : public base::IObject
    , public thread::IPoolable {
};

}
