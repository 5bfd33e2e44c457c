#pragma once

#include "gui/Component.h"

namespace s::gui {

// An empty component that holds a gap. A horizontal spacer (axis 0, the default) holds width, a
// vertical one (axis 1) height; across its axis it takes no room in a box that lays out along the
// other axis (a vertical spacer in a row, a horizontal one in a column).
//
// Limits along an axis: the fixed size when set (1 by default), else the percentage of the
// parent's inner size when set (integer division), else the current size (and, for the maximum,
// at least the stored maximum).
class SpacerBase : public Component {
public:
    int32_t getAxis() const { return m_axis; }
    // Switching the axis swaps the fixed width with the fixed height and the percentages.
    void setAxis(int32_t axis);
    void setFixedWidth(int32_t w);
    void setFixedHeight(int32_t h);
    void setWidthPercent(int32_t percent);
    void setHeightPercent(int32_t percent);

    int32_t getMinWidth() const override;
    int32_t getMinHeight() const override;
    int32_t getMaxWidth() const override;
    int32_t getMaxHeight() const override;

    void reset() override;

protected:
    SpacerBase() = default;

private:
    bool flatAcross(bool widthAxis) const;

    int32_t m_axis { 0 };
    int32_t m_fixedWidth { 1 };
    int32_t m_fixedHeight { 1 };
    int32_t m_widthPercent { -1 };
    int32_t m_heightPercent { -1 };
};

}
