#include "gui/os/StatusBar.h"

namespace s::gui::os {

StatusBar::StatusBar()
{
    reset();
}

void StatusBar::reset()
{
    Box::reset();
    m_layoutType = Horizontal;
    m_hGap = 8;
    m_left = m_right = 6;
    m_top = m_bottom = 3;
    m_vAlign = 1;
}

void StatusBar::afterCreate()
{
    Box::afterCreate();
    setBorderColour(160, 160, 160);
}

}
