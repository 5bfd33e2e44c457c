#pragma once

#include "gui/IComponent.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace s::gui {

class ILayoutManager;

// A component with children that it places with a layout: a row (0), a column (1, the default),
// flowing rows (2) or a stack (3), or with a layout manager object that replaces the built-in type.
// The container owns its children: a removed child is destroyed and released to its pool.
//
// Events of a box (sender = the box): 1 files dropped (with setAcceptFiles), 2 wheel turned and no
// child took it, 3 laid out, 4 moved or resized, 5 painted, 6 left button pressed, 7 a link dropped.
class IContainer : public virtual IComponent {
public:
    enum LayoutType : int32_t { Horizontal = 0, Vertical = 1, FlowH = 2, Pile = 3 };
    enum Align : int32_t { Start = 0, Middle = 1, End = 2 };
    // The codes a box fires (sender = the box).
    enum BoxEvent : int32_t {
        FilesDropped = 1,
        WheelTurned = 2,
        LaidOut = 3,
        MovedOrResized = 4,
        Painted = 5,
        LeftPressed = 6,
        LinkDropped = 7,
    };

    virtual void doLayout() = 0;
    virtual ILayoutManager* getLayoutManager() const = 0;
    virtual void setLayoutManager(ILayoutManager* manager) = 0;

    virtual void setHorizontalGap(int32_t gap) = 0;
    virtual void setVerticalGap(int32_t gap) = 0;
    virtual int32_t getHorizontalGap() const = 0;
    virtual int32_t getVerticalGap() const = 0;
    virtual void setInsetLeft(int32_t p) = 0;
    virtual void setInsetRight(int32_t p) = 0;
    virtual void setInsetTop(int32_t p) = 0;
    virtual void setInsetBottom(int32_t p) = 0;
    virtual void setInsetHorizontal(int32_t p) = 0;
    virtual void setInsetVertical(int32_t p) = 0;
    virtual void setInset(int32_t p) = 0;
    virtual int32_t getInsetLeft() const = 0;
    virtual int32_t getInsetRight() const = 0;
    virtual int32_t getInsetTop() const = 0;
    virtual int32_t getInsetBottom() const = 0;

    virtual void alignTop() = 0;
    virtual void alignMiddle() = 0;
    virtual void alignBottom() = 0;
    virtual void alignLeft() = 0;
    virtual void alignCentre() = 0;
    virtual void alignRight() = 0;
    virtual int32_t getHorizontalAlign() const = 0;
    virtual int32_t getVerticalAlign() const = 0;

    virtual int32_t getLayoutType() const = 0;
    virtual void layoutHorizontal() = 0;
    virtual void layoutVertical() = 0;
    virtual void layoutFlow() = 0;
    virtual void layoutPile() = 0;

    // Width and height percent 100.
    virtual void fill() = 0;
    // A percentage and a fixed size exclude each other: setting one unsets the other (-1).
    virtual void setWidthPercent(int32_t percent, bool relayout = true) = 0;
    virtual void setHeightPercent(int32_t percent, bool relayout = true) = 0;
    virtual void setFixedWidth(int32_t w, bool relayout = true) = 0;
    virtual void setFixedHeight(int32_t h, bool relayout = true) = 0;
    virtual void setMinimumWidth(int32_t w) = 0;
    virtual void setCollapseWidth(bool on) = 0;
    virtual void setCollapseHeight(bool on) = 0;

    // Extents found by the last layout (without insets).
    virtual int32_t getContentMinWidth() const = 0;
    virtual int32_t getContentMinHeight() const = 0;
    virtual int32_t getContentMaxWidth() const = 0;
    virtual int32_t getContentMaxHeight() const = 0;

    virtual void setAcceptFiles(bool on) = 0;
    virtual void addFileDropListener(events::IEventListener* listener) = 0;
    virtual const std::vector<std::u16string>& getDroppedFiles() const = 0;
    virtual void setUrlDropEnabled(bool on) = 0;
    virtual bool isUrlDropEnabled() const = 0;
    virtual void addUrlDropListener(events::IEventListener* listener) = 0;
    virtual std::u16string_view getDroppedText() const = 0;
    virtual void addWheelListener(events::IEventListener* listener) = 0;
    virtual int32_t getWheelStep() const = 0;
    virtual void addLayoutListener(events::IEventListener* listener) = 0;
    virtual void addMoveListener(events::IEventListener* listener) = 0;
    virtual void addPaintListener(events::IEventListener* listener) = 0;
    virtual void addPressListener(events::IEventListener* listener) = 0;

    // Hides every other child (deep), then shows child i (deep); an index past the end only hides.
    virtual void showOnlyChild(uint32_t index) = 0;
    // As showOnlyChild, and the others also move 3000 pixels down (through their origin) with
    // their visibility locked, so that a later layout keeps them out of view.
    virtual void showOnlyPage(uint32_t index) = 0;
    // While locked, setVisible is ignored.
    virtual void lockVisibility(bool on) = 0;
    virtual bool isVisibilityLocked() const = 0;
    virtual void setBorderColour(uint8_t r, uint8_t g, uint8_t b) = 0;
};

}
