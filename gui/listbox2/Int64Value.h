#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"
#include "gui/listbox2/CellTypes.h"

#include <cstdint>

namespace s::gui::listbox2 {

// A 64-bit number held by a cell as a value object, so the cell stays one machine word on every
// platform. Its cleaner is cleaner().
class Int64Value final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Int64Value, "s_gui_listbox2_Int64Value")
public:
    int64_t number { 0 };

    void reset() override { number = 0; }

    // A new value object as a cell value.
    static CellValue make(int64_t number);
    // The number a cell value refers to; a cell without a value object reads as -1 (not known).
    static int64_t of(CellValue value);
    static base::IDestructor* cleaner();
};

}
