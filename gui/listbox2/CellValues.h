#pragma once

#include "foundation/base/IDestructor.h"
#include "gui/listbox2/CellTypes.h"

#include <string_view>

namespace s::gui::listbox2 {

// Text values: a pooled text buffer referred to by the cell.
struct TextValue {
    static CellValue make(std::u16string_view text);
    // The text a value refers to; a cell without a value object reads as the empty text.
    static std::u16string_view of(CellValue value);
    static base::IDestructor* cleaner();
};

// Plain integers held in the word itself (no cleaner).
inline CellValue fromS32(int32_t v) { return static_cast<CellValue>(static_cast<uint32_t>(v)); }
inline CellValue fromU32(uint32_t v) { return static_cast<CellValue>(v); }
inline int32_t toS32(CellValue v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }
inline uint32_t toU32(CellValue v) { return static_cast<uint32_t>(v); }

}
