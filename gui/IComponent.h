#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "gui/events/IEventListener.h"

#include <cstdint>

namespace s::col::_array {
class ArrayP;
}

namespace s::gui {

class IContainer;
class IWindow;

// A component of the toolkit: an object that can be configured before any platform window stands
// behind it, gets its platform window when it is created under a created container, and reports
// to the application through listeners. Positions are relative to the parent's content origin;
// the parent adds its origin (its left and top inset, or a page shift). All sizes are pixels.
//
// Every component is also a listener: it hears its window's language service and font setting.
class IComponent : public events::IEventListener
    , public base::IObject
    , public thread::IPoolable {
public:
    virtual int32_t getX() const = 0;
    virtual void setX(int32_t x) = 0;
    virtual int32_t getY() const = 0;
    virtual void setY(int32_t y) = 0;
    // The client origin on screen; before creation the origin plus the position.
    virtual int32_t getScreenX() const = 0;
    virtual int32_t getScreenY() const = 0;
    // False when not visible; the right and bottom edges count as inside.
    virtual bool containsScreenPoint(int32_t x, int32_t y) const = 0;

    virtual int32_t getWidth() const = 0;
    virtual void setWidth(int32_t w) = 0;
    virtual int32_t getHeight() const = 0;
    virtual void setHeight(int32_t h) = 0;
    // The size less the insets, never below 0; the setters add the insets.
    virtual int32_t getInnerWidth() const = 0;
    virtual void setInnerWidth(int32_t w) = 0;
    virtual int32_t getInnerHeight() const = 0;
    virtual void setInnerHeight(int32_t h) = 0;

    virtual void setLocation(int32_t x, int32_t y) = 0;
    virtual void setSize(int32_t w, int32_t h) = 0;
    virtual void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void setOrigin(int32_t ox, int32_t oy) = 0;
    virtual void moveOrigin(int32_t dx, int32_t dy) = 0;
    virtual int32_t getOriginX() const = 0;
    virtual int32_t getOriginY() const = 0;

    virtual int32_t getMinWidth() const = 0;
    virtual int32_t getMinHeight() const = 0;
    virtual int32_t getInnerMinWidth() const = 0;
    virtual int32_t getInnerMinHeight() const = 0;
    virtual int32_t getMaxWidth() const = 0;
    virtual int32_t getMaxHeight() const = 0;
    virtual int32_t getInnerMaxWidth() const = 0;
    virtual int32_t getInnerMaxHeight() const = 0;

    // The visible flag and created.
    virtual bool isVisible() const = 0;
    // deep: containers pass the change on to their children.
    virtual void setVisible(bool show, bool deep = true) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool on) = 0;
    // Only text fields act on it (read-only switch).
    virtual bool isEditable() const = 0;
    virtual void setEditable(bool on) = 0;

    // Inside the parent's inner size: (parent inner - own) / 2, or 0 when this is the larger.
    virtual void centre() = 0;
    virtual void centreHorizontally() = 0;
    virtual void centreVertically() = 0;

    // 24-bit RGB, red in the low byte. A transparent component shows the colour of its nearest
    // non-transparent ancestor.
    virtual uint32_t getBackgroundColour() const = 0;
    virtual bool isBackgroundTransparent() const = 0;
    virtual void setBackgroundTransparent(bool redraw = true) = 0;
    virtual void setBackgroundWhite(bool redraw = true) = 0;
    virtual void setBackgroundDefault(bool redraw = true) = 0;
    virtual void setBackgroundBlack(bool redraw = true) = 0;
    // Each channel halfway between the inactive-caption-text colour and white.
    virtual void setBackgroundLight(bool redraw = true) = 0;
    virtual void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b, bool redraw = true) = 0;

    virtual IWindow* getWindow() const = 0;
    virtual IContainer* getParent() const = 0;

    // Makes the platform window under parent (a created container); create(nullptr) destroys it.
    // False when the platform window could not be made.
    virtual bool create(IContainer* parent) = 0;
    virtual bool isCreated() const = 0;

    // Containers only.
    virtual void add(IComponent* child) = 0;
    virtual void remove(IComponent* child, bool deep = true) = 0;
    virtual void removeAll(bool deep = true) = 0;
    virtual bool isContainer() const = 0;

    virtual void repaintRect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
    virtual void repaint() = 0;
    // Clamps w and h into [minimum, maximum] and resizes; containers then lay out.
    virtual void resizeConstrained(int32_t w, int32_t h) = 0;
    // Containers lay out; leaves do nothing.
    virtual void relayout() = 0;

    virtual uint32_t getChildCount() const = 0;
    virtual IComponent* getChild(uint32_t index) const = 0;
    virtual const col::_array::ArrayP* getChildren() const = 0;

    // While suspended, the position and size setters only store; resuming applies them at once.
    virtual bool isLayoutSuspended() const = 0;
    virtual void suspendLayout() = 0;
    virtual void resumeLayout() = 0;

    // The platform window (a QWidget* in the Qt binding) or null before creation; only the
    // binding looks into it.
    virtual void* getNativeHandle() const { return nullptr; }
};

}
