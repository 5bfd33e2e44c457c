#include "gui/BoxBase.h"

#include "gui/ILayoutManager.h"
#include "gui/layout/Algorithms.h"

#include <algorithm>
#include <cmath>

namespace s::gui {

int32_t BoxBase::getInnerWidth() const
{
    return std::max(0, m_width - m_left - m_right);
}

void BoxBase::setInnerWidth(int32_t w)
{
    setWidth(w + m_left + m_right);
}

int32_t BoxBase::getInnerHeight() const
{
    return std::max(0, m_height - m_top - m_bottom);
}

void BoxBase::setInnerHeight(int32_t h)
{
    setHeight(h + m_top + m_bottom);
}

int32_t BoxBase::percentOf(int32_t parentInner, int32_t percent) const
{
    // Rounded to the nearest pixel, halves away from zero: 50 % of 301 is 151.
    return static_cast<int32_t>(std::lround(static_cast<double>(parentInner) * percent / 100.0));
}

int32_t BoxBase::getMinWidth() const
{
    S_ON_GUI_THREAD(getMinWidth());
    if (m_collapseWidth)
        return 0;
    if (m_fixedWidth >= 0)
        return m_fixedWidth;
    int32_t w = m_content.minWidth + m_left + m_right;
    return m_minimumWidth >= 0 ? std::max(w, m_minimumWidth) : w;
}

int32_t BoxBase::getMinHeight() const
{
    S_ON_GUI_THREAD(getMinHeight());
    if (m_collapseHeight)
        return 0;
    if (m_fixedHeight >= 0)
        return m_fixedHeight;
    return m_content.minHeight + m_top + m_bottom;
}

int32_t BoxBase::getMaxWidth() const
{
    S_ON_GUI_THREAD(getMaxWidth());
    if (m_fixedWidth >= 0)
        return m_fixedWidth;
    if (m_widthPercent >= 0 && m_parent)
        return percentOf(m_parent->getInnerWidth(), m_widthPercent);
    return std::max(m_content.minWidth, m_content.maxWidth) + m_left + m_right;
}

int32_t BoxBase::getMaxHeight() const
{
    S_ON_GUI_THREAD(getMaxHeight());
    if (m_fixedHeight >= 0)
        return m_fixedHeight;
    if (m_heightPercent >= 0 && m_parent)
        return percentOf(m_parent->getInnerHeight(), m_heightPercent);
    return std::max(m_content.minHeight, m_content.maxHeight) + m_top + m_bottom;
}

int32_t BoxBase::getInnerMinWidth() const
{
    return std::max(0, getMinWidth() - m_left - m_right);
}

int32_t BoxBase::getInnerMinHeight() const
{
    return std::max(0, getMinHeight() - m_top - m_bottom);
}

int32_t BoxBase::getInnerMaxWidth() const
{
    return std::max(0, getMaxWidth() - m_left - m_right);
}

int32_t BoxBase::getInnerMaxHeight() const
{
    return std::max(0, getMaxHeight() - m_top - m_bottom);
}

void BoxBase::resizeConstrained(int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(resizeConstrained(w, h));
    uint32_t before = m_layoutCount;
    Component::resizeConstrained(w, h);
    // A size change lays the box out already (boundsChanged); otherwise lay out here, since the
    // content may have changed at the same size.
    if (m_layoutCount == before)
        doLayout();
}

void BoxBase::setVisible(bool show, bool deep)
{
    S_ON_GUI_THREAD(setVisible(show, deep));
    if (m_visibilityLocked)
        return;
    bool changed = show != m_visible;
    if (deep) {
        for (uint32_t i = 0; i < m_children.count(); ++i)
            getChild(i)->setVisible(show, deep);
    }
    if (!changed)
        return;
    m_visible = show;
    if (!m_created)
        return;
    platformShow(show);
    // A flowing-row parent may wrap differently once this box is back, hence twice.
    if (show)
        askParentToLayout(2);
}

void BoxBase::suspendLayout()
{
    S_ON_GUI_THREAD(suspendLayout());
    Component::suspendLayout();
    for (uint32_t i = 0; i < m_children.count(); ++i)
        getChild(i)->suspendLayout();
}

void BoxBase::resumeLayout()
{
    S_ON_GUI_THREAD(resumeLayout());
    Component::resumeLayout();
    for (uint32_t i = 0; i < m_children.count(); ++i)
        getChild(i)->resumeLayout();
}

IComponent* BoxBase::getChild(uint32_t index) const
{
    S_ON_GUI_THREAD(getChild(index));
    return index < m_children.count() ? static_cast<IComponent*>(m_children.at(index)) : nullptr;
}

void BoxBase::applyInsetOrigin(IComponent* child) const
{
    if (m_left != 0 || m_top != 0)
        child->setOrigin(m_left, m_top);
}

void BoxBase::add(IComponent* child)
{
    S_ON_GUI_THREAD(add(child));
    if (!child)
        return;
    m_children.push(child);
    if (!m_created)
        return;
    applyInsetOrigin(child);
    child->create(this);
    doLayout();
    askParentToLayout(m_layoutType == FlowH ? 2 : 1);
}

void BoxBase::remove(IComponent* child, bool deep)
{
    S_ON_GUI_THREAD(remove(child, deep));
    int64_t index = m_children.find(child);
    if (index < 0)
        return;
    // Releasing a container takes its children with it (deep or not, the box owns them); it
    // does so without telling anybody, since the whole subtree goes.
    (void)deep;
    child->create(nullptr);
    m_children.removeAt(static_cast<uint32_t>(index));
    child->release();
    doLayout();
}

void BoxBase::removeAll(bool)
{
    S_ON_GUI_THREAD(removeAll(true));
    if (m_children.count() == 0)
        return;
    while (m_children.count() > 0) {
        IComponent* child = getChild(m_children.count() - 1);
        child->create(nullptr);
        m_children.removeAt(m_children.count() - 1);
        child->release();
    }
    doLayout();
}

void BoxBase::afterCreate()
{
    // Children are made in order with the layout held back, then laid out once.
    m_creatingChildren = true;
    for (uint32_t i = 0; i < m_children.count(); ++i) {
        IComponent* child = getChild(i);
        applyInsetOrigin(child);
        child->create(this);
    }
    m_creatingChildren = false;
    doLayout();
    askParentToLayout();
}

void BoxBase::beforeDestroy()
{
    for (uint32_t i = m_children.count(); i-- > 0;)
        getChild(i)->create(nullptr);
    m_laidOutWidth = m_laidOutHeight = -1;
}

void BoxBase::boundsChanged()
{
    if (m_width != m_laidOutWidth || m_height != m_laidOutHeight)
        doLayout();
    m_moveListeners.fire(this, MovedOrResized);
}

void BoxBase::doLayout()
{
    S_ON_GUI_THREAD(doLayout());
    // 1. Not while the children are being made, and at most one nested re-entry.
    if (!m_created || m_creatingChildren || m_layoutDepth >= 2)
        return;
    // 2.
    m_content = {};
    ++m_layoutDepth;
    ++m_layoutCount;
    m_laidOutWidth = m_width;
    m_laidOutHeight = m_height;
    // 3.
    if (m_children.count() > 0)
        layoutChildren();
    // 4.
    m_layoutListeners.fire(this, LaidOut);
    --m_layoutDepth;
}

void BoxBase::layoutChildren()
{
    if (m_layoutManager) {
        m_layoutManager->layout(*this);
        return;
    }
    switch (m_layoutType) {
    case Horizontal:
        layout::row(*this, m_hAlign, m_vAlign, m_hGap, &m_content);
        break;
    case FlowH:
        layout::flow(*this, m_hAlign, m_vAlign, m_hGap, m_vGap, &m_content);
        break;
    case Pile:
        layout::pile(*this, m_hAlign, m_vAlign, &m_content);
        break;
    default:
        layout::column(*this, m_hAlign, m_vAlign, m_vGap, &m_content);
        break;
    }
}

void BoxBase::setLayoutManager(ILayoutManager* manager)
{
    S_ON_GUI_THREAD(setLayoutManager(manager));
    if (manager == m_layoutManager)
        return;
    m_layoutManager = manager;
    doLayout();
}

void BoxBase::setHorizontalGap(int32_t gap)
{
    S_ON_GUI_THREAD(setHorizontalGap(gap));
    if (gap == m_hGap)
        return;
    m_hGap = gap;
    doLayout();
}

void BoxBase::setVerticalGap(int32_t gap)
{
    S_ON_GUI_THREAD(setVerticalGap(gap));
    if (gap == m_vGap)
        return;
    m_vGap = gap;
    doLayout();
}

void BoxBase::setInsets(int32_t left, int32_t right, int32_t top, int32_t bottom)
{
    S_ON_GUI_THREAD(setInsets(left, right, top, bottom));
    if (left == m_left && right == m_right && top == m_top && bottom == m_bottom)
        return;
    bool originChanged = left != m_left || top != m_top;
    m_left = left;
    m_right = right;
    m_top = top;
    m_bottom = bottom;
    // The children move with the new origin at once; the layout follows when someone asks.
    // Also when the insets went back to 0, so no child keeps an old offset.
    if (m_created && originChanged) {
        for (uint32_t i = 0; i < m_children.count(); ++i)
            getChild(i)->setOrigin(m_left, m_top);
    }
}

void BoxBase::setAlign(int32_t h, int32_t v)
{
    S_ON_GUI_THREAD(setAlign(h, v));
    if (h == m_hAlign && v == m_vAlign)
        return;
    m_hAlign = h;
    m_vAlign = v;
    doLayout();
}

void BoxBase::setLayoutType(int32_t type)
{
    S_ON_GUI_THREAD(setLayoutType(type));
    if (type == m_layoutType)
        return;
    m_layoutType = type;
    doLayout();
}

void BoxBase::fill()
{
    setWidthPercent(100, false);
    setHeightPercent(100, true);
}

void BoxBase::setWidthPercent(int32_t percent, bool relayout)
{
    S_ON_GUI_THREAD(setWidthPercent(percent, relayout));
    if (percent == m_widthPercent)
        return;
    m_widthPercent = percent;
    if (percent >= 0)
        m_fixedWidth = -1;
    if (relayout)
        askParentToLayout();
}

void BoxBase::setHeightPercent(int32_t percent, bool relayout)
{
    S_ON_GUI_THREAD(setHeightPercent(percent, relayout));
    if (percent == m_heightPercent)
        return;
    m_heightPercent = percent;
    if (percent >= 0)
        m_fixedHeight = -1;
    if (relayout)
        askParentToLayout();
}

void BoxBase::setFixedWidth(int32_t w, bool relayout)
{
    S_ON_GUI_THREAD(setFixedWidth(w, relayout));
    if (w == m_fixedWidth)
        return;
    m_fixedWidth = w;
    if (w >= 0)
        m_widthPercent = -1;
    if (relayout)
        askParentToLayout();
}

void BoxBase::setFixedHeight(int32_t h, bool relayout)
{
    S_ON_GUI_THREAD(setFixedHeight(h, relayout));
    if (h == m_fixedHeight)
        return;
    m_fixedHeight = h;
    if (h >= 0)
        m_heightPercent = -1;
    if (relayout)
        askParentToLayout();
}

void BoxBase::setMinimumWidth(int32_t w)
{
    S_ON_GUI_THREAD(setMinimumWidth(w));
    m_minimumWidth = w;
}

void BoxBase::setCollapseWidth(bool on)
{
    S_ON_GUI_THREAD(setCollapseWidth(on));
    m_collapseWidth = on;
}

void BoxBase::setCollapseHeight(bool on)
{
    S_ON_GUI_THREAD(setCollapseHeight(on));
    m_collapseHeight = on;
}

void BoxBase::setAcceptFiles(bool on)
{
    S_ON_GUI_THREAD(setAcceptFiles(on));
    if (on == m_acceptFiles)
        return;
    m_acceptFiles = on;
    if (m_created)
        platformStyle();
}

void BoxBase::setUrlDropEnabled(bool on)
{
    S_ON_GUI_THREAD(setUrlDropEnabled(on));
    if (on == m_urlDropEnabled)
        return;
    m_urlDropEnabled = on;
    if (m_created)
        platformStyle();
}

void BoxBase::showOnlyChild(uint32_t index)
{
    S_ON_GUI_THREAD(showOnlyChild(index));
    for (uint32_t i = 0; i < m_children.count(); ++i) {
        if (i != index)
            getChild(i)->setVisible(false, true);
    }
    if (IComponent* shown = getChild(index))
        shown->setVisible(true, true);
}

void BoxBase::showOnlyPage(uint32_t index)
{
    S_ON_GUI_THREAD(showOnlyPage(index));
    // The pages not shown go far down and stay hidden, so that a later layout (which moves, and
    // thereby shows, platform windows) keeps them out of view.
    for (uint32_t i = 0; i < m_children.count(); ++i) {
        if (i == index)
            continue;
        IComponent* page = getChild(i);
        page->setVisible(false, true);
        page->setOrigin(m_left, m_top + PageShift);
        if (auto* box = dynamic_cast<IContainer*>(page))
            box->lockVisibility(true);
    }
    if (IComponent* shown = getChild(index)) {
        if (auto* box = dynamic_cast<IContainer*>(shown))
            box->lockVisibility(false);
        shown->setOrigin(m_left, m_top);
        shown->setVisible(true, true);
    }
}

void BoxBase::setBorderColour(uint8_t r, uint8_t g, uint8_t b)
{
    S_ON_GUI_THREAD(setBorderColour(r, g, b));
    uint32_t colour = static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
    if (m_hasBorder && colour == m_borderColour)
        return;
    m_hasBorder = true;
    m_borderColour = colour;
    repaint();
}

void BoxBase::filesDropped(std::vector<std::u16string> paths)
{
    S_ON_GUI_THREAD(filesDropped(paths));
    m_droppedFiles = std::move(paths);
    m_fileDropListeners.fire(this, FilesDropped);
}

void BoxBase::linkDropped(std::u16string_view text)
{
    S_ON_GUI_THREAD(linkDropped(text));
    m_droppedText.assign(text);
    m_urlDropListeners.fire(this, LinkDropped);
}

void BoxBase::wheelTurned(int32_t step)
{
    S_ON_GUI_THREAD(wheelTurned(step));
    m_wheelStep = step;
    m_wheelListeners.fire(this, WheelTurned);
}

void BoxBase::clearListeners()
{
    m_fileDropListeners.clear();
    m_wheelListeners.clear();
    m_layoutListeners.clear();
    m_moveListeners.clear();
    m_paintListeners.clear();
    m_pressListeners.clear();
    m_urlDropListeners.clear();
}

void BoxBase::reset()
{
    // Nobody hears a box being taken apart; then the children go (destroyed and released), then
    // the box's own platform window.
    clearListeners();
    removeAll(true);
    Component::reset();
    static_cast<BoxState&>(*this) = BoxState {};
}

}
