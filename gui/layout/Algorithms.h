#pragma once

#include "gui/layout/Extents.h"

#include <cstdint>

namespace s::gui {
class IContainer;
}

namespace s::gui::layout {

// The four layouts of a container, working on its inner size and its children. Alignments are
// 0 start, 1 middle, 2 end. Each child is suspended while it is placed (unless the container
// itself is suspended) and resumed at the end, so its platform window moves at most once.
//
// The gap rule: a gap goes before a child only when the previous child's size along the axis is
// at least 1, and a trailing gap after a last child of size 0 is not counted.
//
// out may be null (the shared layout managers report nothing).
void row(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t gap, Extents* out);
void column(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t gap, Extents* out);
void flow(IContainer& c, int32_t hAlign, int32_t vAlign, int32_t hGap, int32_t vGap, Extents* out);
// Only visible children take part.
void pile(IContainer& c, int32_t hAlign, int32_t vAlign, Extents* out);

}
