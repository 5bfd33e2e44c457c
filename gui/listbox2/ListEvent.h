#pragma once

#include <cstdint>

namespace s::gui::listbox2::ListEvent {

// Codes a list fires at its listeners, handle(list, code).
constexpr int32_t RowSelected = 1;
constexpr int32_t RowDeselected = 2;
constexpr int32_t FilesDropped = 3;
constexpr int32_t RowsDraggedToList = 4;
constexpr int32_t LabelEdited = 5;
constexpr int32_t HeaderClicked = 6;
constexpr int32_t ContextMenu = 7;
constexpr int32_t KeyPressed = 8;
constexpr int32_t SelectionStarted = 20;
constexpr int32_t SelectionEmptied = 21;
constexpr int32_t RowDoubleClicked = 22;
constexpr int32_t CellChecked = 23;
constexpr int32_t CellUnchecked = 24;
constexpr int32_t RowsReordered = 25;
constexpr int32_t Sorted = 26;
constexpr int32_t DragOutStarted = 27;
constexpr int32_t DragOutEnded = 28;
constexpr int32_t DragOutCancelled = 29;
constexpr int32_t DropTargetFiles = 30;
constexpr int32_t HotAreaClicked = 31;
constexpr int32_t HeaderClickedBeforeSort = 32;

// One past the highest code: the size of a per-code listener table.
constexpr int32_t CodeLimit = 33;

}
