#pragma once

namespace s::gui::counter {
class CounterData;
class ICounterView;
}
