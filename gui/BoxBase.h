#pragma once

#include "foundation/col/ArrayP.h"
#include "gui/Component.h"
#include "gui/IContainer.h"
#include "gui/layout/Extents.h"

#include <string>
#include <vector>

namespace s::gui {

// Everything a box is besides its component state, its children and its listeners, with the
// defaults: reset() restores a fresh BoxState.
struct BoxState {
    ILayoutManager* m_layoutManager { nullptr };
    int32_t m_layoutType { IContainer::Vertical };
    int32_t m_hAlign { 0 };
    int32_t m_vAlign { 0 };
    int32_t m_hGap { 0 };
    int32_t m_vGap { 0 };
    int32_t m_left { 0 };
    int32_t m_right { 0 };
    int32_t m_top { 0 };
    int32_t m_bottom { 0 };
    int32_t m_widthPercent { -1 };
    int32_t m_heightPercent { -1 };
    int32_t m_fixedWidth { -1 };
    int32_t m_fixedHeight { -1 };
    int32_t m_minimumWidth { -1 };
    bool m_collapseWidth { false };
    bool m_collapseHeight { false };
    bool m_visibilityLocked { false };
    layout::Extents m_content;
    bool m_acceptFiles { false };
    std::vector<std::u16string> m_droppedFiles;
    bool m_urlDropEnabled { false };
    std::u16string m_droppedText;
    int32_t m_wheelStep { 0 };
    int32_t m_layoutDepth { 0 };
    bool m_creatingChildren { false };
    uint32_t m_layoutCount { 0 };
    int32_t m_laidOutWidth { -1 };
    int32_t m_laidOutHeight { -1 };
    bool m_hasBorder { false };
    uint32_t m_borderColour { 0 };
};

// The state and the platform-free behaviour of the general container: children, layout type,
// alignments, gaps, insets, the size rules (fixed, percentage, minimum, collapse), doLayout with
// its re-entry limit, showOnlyChild / showOnlyPage and the box's listener lists. The platform
// binding (s::gui::os::Box) adds the platform window.
//
// Sizes: minimum width = 0 when collapsed, else the fixed width, else the content minimum plus the
// horizontal insets raised to the minimum width; maximum width = the fixed width, else the width
// percentage of the parent's inner width (rounded, halves away from zero), else the larger
// content extent plus the insets. Heights likewise (no minimum height of its own).
class BoxBase : public Component
    , public IContainer
    , protected BoxState {
public:
    static constexpr int32_t PageShift = 3000;

    // --- sizes ---
    int32_t getInnerWidth() const override;
    void setInnerWidth(int32_t w) override;
    int32_t getInnerHeight() const override;
    void setInnerHeight(int32_t h) override;
    int32_t getMinWidth() const override;
    int32_t getMinHeight() const override;
    int32_t getInnerMinWidth() const override;
    int32_t getInnerMinHeight() const override;
    int32_t getMaxWidth() const override;
    int32_t getMaxHeight() const override;
    int32_t getInnerMaxWidth() const override;
    int32_t getInnerMaxHeight() const override;
    void resizeConstrained(int32_t w, int32_t h) override;
    void relayout() override { doLayout(); }

    void setVisible(bool show, bool deep = true) override;
    void suspendLayout() override;
    void resumeLayout() override;

    // --- children ---
    void add(IComponent* child) override;
    void remove(IComponent* child, bool deep = true) override;
    void removeAll(bool deep = true) override;
    bool isContainer() const override { return true; }
    uint32_t getChildCount() const override { S_ON_GUI_THREAD(getChildCount()); return m_children.count(); }
    IComponent* getChild(uint32_t index) const override;
    const col::_array::ArrayP* getChildren() const override { return &m_children; }

    // --- IContainer ---
    void doLayout() override;
    ILayoutManager* getLayoutManager() const override { S_ON_GUI_THREAD(getLayoutManager()); return m_layoutManager; }
    void setLayoutManager(ILayoutManager* manager) override;
    void setHorizontalGap(int32_t gap) override;
    void setVerticalGap(int32_t gap) override;
    int32_t getHorizontalGap() const override { S_ON_GUI_THREAD(getHorizontalGap()); return m_hGap; }
    int32_t getVerticalGap() const override { S_ON_GUI_THREAD(getVerticalGap()); return m_vGap; }
    void setInsetLeft(int32_t p) override { setInsets(p, m_right, m_top, m_bottom); }
    void setInsetRight(int32_t p) override { setInsets(m_left, p, m_top, m_bottom); }
    void setInsetTop(int32_t p) override { setInsets(m_left, m_right, p, m_bottom); }
    void setInsetBottom(int32_t p) override { setInsets(m_left, m_right, m_top, p); }
    void setInsetHorizontal(int32_t p) override { setInsets(p, p, m_top, m_bottom); }
    void setInsetVertical(int32_t p) override { setInsets(m_left, m_right, p, p); }
    void setInset(int32_t p) override { setInsets(p, p, p, p); }
    int32_t getInsetLeft() const override { S_ON_GUI_THREAD(getInsetLeft()); return m_left; }
    int32_t getInsetRight() const override { S_ON_GUI_THREAD(getInsetRight()); return m_right; }
    int32_t getInsetTop() const override { S_ON_GUI_THREAD(getInsetTop()); return m_top; }
    int32_t getInsetBottom() const override { S_ON_GUI_THREAD(getInsetBottom()); return m_bottom; }
    void alignTop() override { setAlign(m_hAlign, 0); }
    void alignMiddle() override { setAlign(m_hAlign, 1); }
    void alignBottom() override { setAlign(m_hAlign, 2); }
    void alignLeft() override { setAlign(0, m_vAlign); }
    void alignCentre() override { setAlign(1, m_vAlign); }
    void alignRight() override { setAlign(2, m_vAlign); }
    int32_t getHorizontalAlign() const override { S_ON_GUI_THREAD(getHorizontalAlign()); return m_hAlign; }
    int32_t getVerticalAlign() const override { S_ON_GUI_THREAD(getVerticalAlign()); return m_vAlign; }
    int32_t getLayoutType() const override { S_ON_GUI_THREAD(getLayoutType()); return m_layoutType; }
    void layoutHorizontal() override { setLayoutType(Horizontal); }
    void layoutVertical() override { setLayoutType(Vertical); }
    void layoutFlow() override { setLayoutType(FlowH); }
    void layoutPile() override { setLayoutType(Pile); }
    void fill() override;
    void setWidthPercent(int32_t percent, bool relayout = true) override;
    void setHeightPercent(int32_t percent, bool relayout = true) override;
    void setFixedWidth(int32_t w, bool relayout = true) override;
    void setFixedHeight(int32_t h, bool relayout = true) override;
    void setMinimumWidth(int32_t w) override;
    void setCollapseWidth(bool on) override;
    void setCollapseHeight(bool on) override;
    int32_t getContentMinWidth() const override { S_ON_GUI_THREAD(getContentMinWidth()); return m_content.minWidth; }
    int32_t getContentMinHeight() const override { S_ON_GUI_THREAD(getContentMinHeight()); return m_content.minHeight; }
    int32_t getContentMaxWidth() const override { S_ON_GUI_THREAD(getContentMaxWidth()); return m_content.maxWidth; }
    int32_t getContentMaxHeight() const override { S_ON_GUI_THREAD(getContentMaxHeight()); return m_content.maxHeight; }
    int32_t getWidthPercent() const { S_ON_GUI_THREAD(getWidthPercent()); return m_widthPercent; }
    int32_t getHeightPercent() const { S_ON_GUI_THREAD(getHeightPercent()); return m_heightPercent; }
    int32_t getFixedWidth() const { S_ON_GUI_THREAD(getFixedWidth()); return m_fixedWidth; }
    int32_t getFixedHeight() const { S_ON_GUI_THREAD(getFixedHeight()); return m_fixedHeight; }

    void setAcceptFiles(bool on) override;
    bool isAcceptingFiles() const { S_ON_GUI_THREAD(isAcceptingFiles()); return m_acceptFiles; }
    void addFileDropListener(events::IEventListener* listener) override { m_fileDropListeners.add(listener); }
    const std::vector<std::u16string>& getDroppedFiles() const override { return m_droppedFiles; }
    void setUrlDropEnabled(bool on) override;
    bool isUrlDropEnabled() const override { S_ON_GUI_THREAD(isUrlDropEnabled()); return m_urlDropEnabled; }
    void addUrlDropListener(events::IEventListener* listener) override { m_urlDropListeners.add(listener); }
    // During code 7 (GUI thread).
    std::u16string_view getDroppedText() const override { return m_droppedText; }
    void addWheelListener(events::IEventListener* listener) override { m_wheelListeners.add(listener); }
    int32_t getWheelStep() const override { S_ON_GUI_THREAD(getWheelStep()); return m_wheelStep; }
    void addLayoutListener(events::IEventListener* listener) override { m_layoutListeners.add(listener); }
    void addMoveListener(events::IEventListener* listener) override { m_moveListeners.add(listener); }
    void addPaintListener(events::IEventListener* listener) override { m_paintListeners.add(listener); }
    void addPressListener(events::IEventListener* listener) override { m_pressListeners.add(listener); }

    void showOnlyChild(uint32_t index) override;
    void showOnlyPage(uint32_t index) override;
    void lockVisibility(bool on) override
    {
        S_ON_GUI_THREAD(lockVisibility(on));
        m_visibilityLocked = on;
    }
    bool isVisibilityLocked() const override { S_ON_GUI_THREAD(isVisibilityLocked()); return m_visibilityLocked; }
    void setBorderColour(uint8_t r, uint8_t g, uint8_t b) override;
    bool hasBorder() const { S_ON_GUI_THREAD(hasBorder()); return m_hasBorder; }
    uint32_t getBorderColour() const { S_ON_GUI_THREAD(getBorderColour()); return m_borderColour; }

    // How many layouts ran (for callers that wait for one).
    uint32_t getLayoutCount() const { S_ON_GUI_THREAD(getLayoutCount()); return m_layoutCount; }

    void reset() override;

    // What the platform reports (called by the binding on the UI thread).
    void filesDropped(std::vector<std::u16string> paths);
    void linkDropped(std::u16string_view text);
    void wheelTurned(int32_t step);
    void painted()
    {
        S_ASSERT_GUI_THREAD();
        m_paintListeners.fire(this, Painted);
    }
    void pressed()
    {
        S_ASSERT_GUI_THREAD();
        m_pressListeners.fire(this, LeftPressed);
    }

protected:
    BoxBase() = default;

    void afterCreate() override;
    void beforeDestroy() override;
    void boundsChanged() override;
    // Runs the layout of the box's own type; a window adds its status bar.
    virtual void layoutChildren();
    void clearListeners();
    void setInsets(int32_t left, int32_t right, int32_t top, int32_t bottom);
    void setAlign(int32_t h, int32_t v);
    void setLayoutType(int32_t type);
    void applyInsetOrigin(IComponent* child) const;
    int32_t percentOf(int32_t parentInner, int32_t percent) const;

    col::_array::ArrayP m_children;
    events::ListenerList m_fileDropListeners;
    events::ListenerList m_wheelListeners;
    events::ListenerList m_layoutListeners;
    events::ListenerList m_moveListeners;
    events::ListenerList m_paintListeners;
    events::ListenerList m_pressListeners;
    events::ListenerList m_urlDropListeners;
};

}
