#pragma once

namespace s::gui::counter {

class CounterData;

// Something that shows a data series and repaints when a point of it is completed. The call comes on
// the thread that added the sample: a view only asks for a repaint there (without waiting) and paints
// on its own thread.
class ICounterView {
public:
    virtual ~ICounterView() = default;
    virtual void pointCompleted(CounterData* series) = 0;
};

}
