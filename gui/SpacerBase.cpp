#include "gui/SpacerBase.h"

#include "gui/IContainer.h"

#include <algorithm>
#include <utility>

namespace s::gui {

void SpacerBase::setAxis(int32_t axis)
{
    if (axis == m_axis)
        return;
    m_axis = axis;
    std::swap(m_fixedWidth, m_fixedHeight);
    std::swap(m_widthPercent, m_heightPercent);
}

void SpacerBase::setFixedWidth(int32_t w)
{
    m_fixedWidth = w;
    if (w >= 0)
        m_widthPercent = -1;
}

void SpacerBase::setFixedHeight(int32_t h)
{
    m_fixedHeight = h;
    if (h >= 0)
        m_heightPercent = -1;
}

void SpacerBase::setWidthPercent(int32_t percent)
{
    m_widthPercent = percent;
    if (percent >= 0)
        m_fixedWidth = -1;
}

void SpacerBase::setHeightPercent(int32_t percent)
{
    m_heightPercent = percent;
    if (percent >= 0)
        m_fixedHeight = -1;
}

bool SpacerBase::flatAcross(bool widthAxis) const
{
    int32_t type = parentLayoutType();
    if (widthAxis)
        return m_axis == 1 && type == IContainer::Horizontal;
    return m_axis == 0 && type == IContainer::Vertical;
}

int32_t SpacerBase::getMinWidth() const
{
    if (flatAcross(true))
        return 0;
    return m_fixedWidth >= 0 ? m_fixedWidth : m_width;
}

int32_t SpacerBase::getMinHeight() const
{
    if (flatAcross(false))
        return 0;
    return m_fixedHeight >= 0 ? m_fixedHeight : m_height;
}

int32_t SpacerBase::getMaxWidth() const
{
    if (flatAcross(true))
        return 0;
    if (m_fixedWidth >= 0)
        return m_fixedWidth;
    if (m_widthPercent >= 0 && m_parent)
        return m_parent->getInnerWidth() * m_widthPercent / 100;
    return std::max(m_width, m_maxWidth);
}

int32_t SpacerBase::getMaxHeight() const
{
    if (flatAcross(false))
        return 0;
    if (m_fixedHeight >= 0)
        return m_fixedHeight;
    if (m_heightPercent >= 0 && m_parent)
        return m_parent->getInnerHeight() * m_heightPercent / 100;
    return std::max(m_height, m_maxHeight);
}

void SpacerBase::reset()
{
    Component::reset();
    m_axis = 0;
    m_fixedWidth = m_fixedHeight = 1;
    m_widthPercent = m_heightPercent = -1;
}

}
