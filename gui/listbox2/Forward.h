#pragma once

namespace s::gui::listbox2 {
class ColumnLayout;
class DataType;
class IExecutor;
class IListView;
class Int64Value;
class List;
class ListBoxModel;
class Record;
class RowUpdate;
class SubRecord;
class WheelScroller;
struct RowHandle;
}
