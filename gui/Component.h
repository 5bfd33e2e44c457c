#pragma once

#include "gui/FontDescription.h"
#include "gui/GuiThread.h"
#include "gui/IComponent.h"
#include "gui/events/ListenerList.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace s::gui {

class FontSetting;

// Everything a component is, with its defaults: a component taken from its pool starts from a
// fresh ComponentState and reset() restores one, so each default is written once, here.
struct ComponentState {
    static constexpr uint32_t ButtonFaceColour = 0xF0F0F0; // RGB(240, 240, 240)

    int32_t m_x { 0 };
    int32_t m_y { 0 };
    int32_t m_originX { 0 };
    int32_t m_originY { 0 };
    int32_t m_width { 0 };
    int32_t m_height { 0 };
    int32_t m_minWidth { 0 };
    int32_t m_minHeight { 0 };
    int32_t m_maxWidth { 0 };
    int32_t m_maxHeight { 0 };
    bool m_visible { true };
    bool m_created { false };
    bool m_enabled { true };
    bool m_editable { true };
    uint32_t m_background { ButtonFaceColour };
    bool m_transparent { true };
    uint32_t m_textColour { 0 };
    IContainer* m_parent { nullptr };
    IWindow* m_window { nullptr };
    FontSetting* m_fontSetting { nullptr };
    bool m_layoutSuspended { false };
    bool m_boundsPending { false };
    int32_t m_textId { -1 };
    std::u16string m_text;
    FontDescription m_font;
};

// The state and the platform-free behaviour shared by every component: geometry with
// suspend/resume and pending bounds, visibility, colours, the parent and window, the caption's text
// id and font, and the subscriptions to the window's language service and font setting. The
// platform binding (gui/os) overrides the platform* hooks; everything else lives here so it can be
// reasoned about without a display.
class Component : public virtual IComponent
    , protected ComponentState {
public:
    static constexpr int32_t HiddenX = -10000;

    // --- IComponent ---
    int32_t getX() const override { S_ON_GUI_THREAD(getX()); return m_x; }
    void setX(int32_t x) override { setLocation(x, m_y); }
    int32_t getY() const override { S_ON_GUI_THREAD(getY()); return m_y; }
    void setY(int32_t y) override { setLocation(m_x, y); }
    int32_t getScreenX() const override;
    int32_t getScreenY() const override;
    bool containsScreenPoint(int32_t x, int32_t y) const override;

    int32_t getWidth() const override { S_ON_GUI_THREAD(getWidth()); return m_width; }
    void setWidth(int32_t w) override { setSize(w, m_height); }
    int32_t getHeight() const override { S_ON_GUI_THREAD(getHeight()); return m_height; }
    void setHeight(int32_t h) override { setSize(m_width, h); }
    int32_t getInnerWidth() const override;
    void setInnerWidth(int32_t w) override;
    int32_t getInnerHeight() const override;
    void setInnerHeight(int32_t h) override;

    void setLocation(int32_t x, int32_t y) override { setBounds(x, y, m_width, m_height); }
    void setSize(int32_t w, int32_t h) override { setBounds(m_x, m_y, w, h); }
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void setOrigin(int32_t ox, int32_t oy) override;
    void moveOrigin(int32_t dx, int32_t dy) override { setOrigin(m_originX + dx, m_originY + dy); }
    int32_t getOriginX() const override { S_ON_GUI_THREAD(getOriginX()); return m_originX; }
    int32_t getOriginY() const override { S_ON_GUI_THREAD(getOriginY()); return m_originY; }

    int32_t getMinWidth() const override { S_ON_GUI_THREAD(getMinWidth()); return m_minWidth; }
    int32_t getMinHeight() const override { S_ON_GUI_THREAD(getMinHeight()); return m_minHeight; }
    int32_t getInnerMinWidth() const override;
    int32_t getInnerMinHeight() const override;
    int32_t getMaxWidth() const override { S_ON_GUI_THREAD(getMaxWidth()); return m_maxWidth; }
    int32_t getMaxHeight() const override { S_ON_GUI_THREAD(getMaxHeight()); return m_maxHeight; }
    int32_t getInnerMaxWidth() const override;
    int32_t getInnerMaxHeight() const override;
    // Leaves keep their limits as plain values (containers compute theirs).
    void setMinSize(int32_t w, int32_t h);
    void setMaxSize(int32_t w, int32_t h);
    // Minimum, maximum and current size at once; a leaf that sizes itself to its content uses it.
    void setNaturalSize(int32_t w, int32_t h);

    bool isVisible() const override { S_ON_GUI_THREAD(isVisible()); return m_visible && m_created; }
    bool getVisibleFlag() const { S_ON_GUI_THREAD(getVisibleFlag()); return m_visible; }
    void setVisible(bool show, bool deep = true) override;
    bool isEnabled() const override { S_ON_GUI_THREAD(isEnabled()); return m_enabled; }
    void setEnabled(bool on) override;
    bool isEditable() const override { S_ON_GUI_THREAD(isEditable()); return m_editable; }
    void setEditable(bool on) override;

    void centre() override;
    void centreHorizontally() override;
    void centreVertically() override;

    // The colour shown: a transparent component's comes from its nearest non-transparent ancestor.
    uint32_t getBackgroundColour() const override;
    uint32_t getOwnBackgroundColour() const { S_ON_GUI_THREAD(getOwnBackgroundColour()); return m_background; }
    bool isBackgroundTransparent() const override { S_ON_GUI_THREAD(isBackgroundTransparent()); return m_transparent; }
    void setBackgroundTransparent(bool redraw = true) override;
    void setBackgroundWhite(bool redraw = true) override { setBackgroundColour(255, 255, 255, redraw); }
    void setBackgroundDefault(bool redraw = true) override;
    void setBackgroundBlack(bool redraw = true) override { setBackgroundColour(0, 0, 0, redraw); }
    void setBackgroundLight(bool redraw = true) override;
    void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b, bool redraw = true) override;

    IWindow* getWindow() const override { S_ON_GUI_THREAD(getWindow()); return m_window; }
    IContainer* getParent() const override { S_ON_GUI_THREAD(getParent()); return m_parent; }

    bool create(IContainer* parent) override;
    bool isCreated() const override { S_ON_GUI_THREAD(isCreated()); return m_created; }

    void add(IComponent*) override { }
    void remove(IComponent*, bool = true) override { }
    void removeAll(bool = true) override { }
    bool isContainer() const override { return false; }

    void repaintRect(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void repaint() override;
    void resizeConstrained(int32_t w, int32_t h) override;
    void relayout() override { }

    uint32_t getChildCount() const override { return 0; }
    IComponent* getChild(uint32_t) const override { return nullptr; }
    const col::_array::ArrayP* getChildren() const override { return nullptr; }

    bool isLayoutSuspended() const override { S_ON_GUI_THREAD(isLayoutSuspended()); return m_layoutSuspended; }
    bool isBoundsPending() const { S_ON_GUI_THREAD(isBoundsPending()); return m_boundsPending; }
    void suspendLayout() override;
    void resumeLayout() override;

    // Language service (code 0) and font setting.
    void handle(base::IObject* sender, int32_t code) override;

    // --- captions ---
    // The text shown; a text id (-1 for none) takes it from the window's language service and
    // follows language switches.
    void setText(std::u16string_view text);
    // A copy: the text may change on the GUI thread as soon as the call returns.
    std::u16string getText() const
    {
        S_ON_GUI_THREAD(getText());
        return m_text;
    }
    void setTextId(int32_t id);
    int32_t getTextId() const { S_ON_GUI_THREAD(getTextId()); return m_textId; }
    // Applies a font code (see FontDescription) unless the font was set explicitly.
    void setFontCode(int32_t code);
    void setBold(bool on);
    void setFontFace(std::u16string_view face);
    FontDescription getFont() const
    {
        S_ON_GUI_THREAD(getFont());
        return m_font;
    }
    void setTextColour(uint8_t r, uint8_t g, uint8_t b);
    uint32_t getTextColour() const { S_ON_GUI_THREAD(getTextColour()); return m_textColour; }

    void reset() override;

protected:
    Component() = default;

    // --- platform hooks (all run on the UI thread in the binding) ---
    // Makes the platform window under the parent's; false when that failed.
    virtual bool platformCreate() { return true; }
    virtual void platformDestroy() { }
    // Places the platform window at a position within the parent's platform window; whether it
    // shows is platformShow's business alone.
    virtual void platformPlace(int32_t, int32_t, int32_t, int32_t) { }
    // Shows, or hides and moves off-screen.
    virtual void platformShow(bool) { }
    virtual void platformEnable(bool) { }
    virtual void platformEditable(bool) { }
    // A negative width repaints everything.
    virtual void platformRepaint(int32_t, int32_t, int32_t, int32_t) { }
    virtual void platformStyle() { }
    virtual void platformText() { }
    virtual bool platformScreenOrigin(int32_t&, int32_t&) const { return false; }

    // After the platform window exists and before it is shown (a box creates its children here).
    virtual void afterCreate() { }
    // Before the platform window goes (a box destroys its children here).
    virtual void beforeDestroy() { }
    // After the position or size changed (a box fires its move listeners).
    virtual void boundsChanged() { }
    // The parent's layout type, for components whose limits depend on it; -1 without a parent.
    int32_t parentLayoutType() const;
    void applyBounds();
    void refreshTextFromId();
    // A caption that sizes itself to its text measures it here (the binding asks the platform).
    virtual void textChanged() { }
    virtual void fontChanged() { }
    // Lets a container ask its parent to lay out again after a change of its own.
    void askParentToLayout(int times = 1);
};

}
