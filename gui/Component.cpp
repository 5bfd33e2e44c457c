#include "gui/Component.h"

#include "gui/FontSetting.h"
#include "gui/IContainer.h"
#include "gui/IWindow.h"

#include <algorithm>

namespace s::gui {

namespace {

uint32_t rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) | (static_cast<uint32_t>(b) << 16);
}

}

int32_t Component::getScreenX() const
{
    S_ON_GUI_THREAD(getScreenX());
    int32_t x = 0;
    int32_t y = 0;
    if (m_created && platformScreenOrigin(x, y))
        return x;
    return m_originX + m_x;
}

int32_t Component::getScreenY() const
{
    S_ON_GUI_THREAD(getScreenY());
    int32_t x = 0;
    int32_t y = 0;
    if (m_created && platformScreenOrigin(x, y))
        return y;
    return m_originY + m_y;
}

bool Component::containsScreenPoint(int32_t x, int32_t y) const
{
    S_ON_GUI_THREAD(containsScreenPoint(x, y));
    if (!isVisible())
        return false;
    int32_t left = getScreenX();
    int32_t top = getScreenY();
    return x >= left && y >= top && x <= left + m_width && y <= top + m_height;
}

// A leaf has no insets: its inner sizes are its sizes. Containers override these.
int32_t Component::getInnerWidth() const { return m_width; }
int32_t Component::getInnerHeight() const { return m_height; }
void Component::setInnerWidth(int32_t w) { setWidth(w); }
void Component::setInnerHeight(int32_t h) { setHeight(h); }
int32_t Component::getInnerMinWidth() const { return getMinWidth(); }
int32_t Component::getInnerMinHeight() const { return getMinHeight(); }
int32_t Component::getInnerMaxWidth() const { return getMaxWidth(); }
int32_t Component::getInnerMaxHeight() const { return getMaxHeight(); }

void Component::setMinSize(int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(setMinSize(w, h));
    m_minWidth = std::max(0, w);
    m_minHeight = std::max(0, h);
}

void Component::setMaxSize(int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(setMaxSize(w, h));
    m_maxWidth = std::max(0, w);
    m_maxHeight = std::max(0, h);
}

void Component::setNaturalSize(int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(setNaturalSize(w, h));
    setMinSize(w, h);
    setMaxSize(w, h);
    setSize(w, h);
}

void Component::setBounds(int32_t x, int32_t y, int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(setBounds(x, y, w, h));
    w = std::max(0, w);
    h = std::max(0, h);
    if (x == m_x && y == m_y && w == m_width && h == m_height)
        return;
    m_x = x;
    m_y = y;
    m_width = w;
    m_height = h;
    if (m_layoutSuspended || !m_created)
        m_boundsPending = true;
    else
        applyBounds();
    boundsChanged();
}

void Component::setOrigin(int32_t ox, int32_t oy)
{
    S_ON_GUI_THREAD(setOrigin(ox, oy));
    if (ox == m_originX && oy == m_originY)
        return;
    m_originX = ox;
    m_originY = oy;
    if (m_layoutSuspended || !m_created)
        m_boundsPending = true;
    else
        applyBounds();
}

void Component::applyBounds()
{
    S_ASSERT_GUI_THREAD();
    m_boundsPending = false;
    if (!m_created)
        return;
    // Placing never shows: a hidden component stays hidden wherever its parent's layout puts it.
    platformPlace(m_originX + m_x, m_originY + m_y, m_width, m_height);
}

void Component::suspendLayout()
{
    S_ON_GUI_THREAD(suspendLayout());
    m_layoutSuspended = true;
}

void Component::resumeLayout()
{
    S_ON_GUI_THREAD(resumeLayout());
    if (!m_layoutSuspended)
        return;
    m_layoutSuspended = false;
    if (m_boundsPending && m_created)
        applyBounds();
}

void Component::setVisible(bool show, bool deep)
{
    S_ON_GUI_THREAD(setVisible(show, deep));
    if (show == m_visible)
        return;
    m_visible = show;
    if (!m_created)
        return;
    platformShow(show);
    if (show)
        askParentToLayout();
}

void Component::setEnabled(bool on)
{
    S_ON_GUI_THREAD(setEnabled(on));
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (m_created)
        platformEnable(on);
}

void Component::setEditable(bool on)
{
    S_ON_GUI_THREAD(setEditable(on));
    if (on == m_editable)
        return;
    m_editable = on;
    if (m_created)
        platformEditable(on);
}

void Component::centre()
{
    centreHorizontally();
    centreVertically();
}

void Component::centreHorizontally()
{
    S_ON_GUI_THREAD(centreHorizontally());
    if (!m_parent)
        return;
    setX(std::max(0, (m_parent->getInnerWidth() - m_width) / 2));
}

void Component::centreVertically()
{
    S_ON_GUI_THREAD(centreVertically());
    if (!m_parent)
        return;
    setY(std::max(0, (m_parent->getInnerHeight() - m_height) / 2));
}

uint32_t Component::getBackgroundColour() const
{
    S_ON_GUI_THREAD(getBackgroundColour());
    if (!m_transparent)
        return m_background;
    for (IContainer* p = m_parent; p; p = p->getParent()) {
        if (!p->isBackgroundTransparent())
            return p->getBackgroundColour();
    }
    return ButtonFaceColour;
}

void Component::setBackgroundTransparent(bool redraw)
{
    S_ON_GUI_THREAD(setBackgroundTransparent(redraw));
    if (m_transparent)
        return;
    m_transparent = true;
    if (m_created)
        platformStyle();
    if (redraw)
        repaint();
}

void Component::setBackgroundDefault(bool redraw)
{
    uint32_t c = ButtonFaceColour;
    setBackgroundColour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, redraw);
}

void Component::setBackgroundLight(bool redraw)
{
    // Halfway between the (dark) inactive caption text and white.
    constexpr uint32_t inactiveCaptionText = 0x000000;
    auto light = [](uint32_t c) { return static_cast<uint8_t>(255 - (255 - (c & 0xFF)) / 2); };
    setBackgroundColour(light(inactiveCaptionText), light(inactiveCaptionText >> 8), light(inactiveCaptionText >> 16), redraw);
}

void Component::setBackgroundColour(uint8_t r, uint8_t g, uint8_t b, bool redraw)
{
    S_ON_GUI_THREAD(setBackgroundColour(r, g, b, redraw));
    uint32_t colour = rgb(r, g, b);
    if (!m_transparent && colour == m_background)
        return;
    m_transparent = false;
    m_background = colour;
    if (m_created)
        platformStyle();
    if (redraw)
        repaint();
}

bool Component::create(IContainer* parent)
{
    S_ON_GUI_THREAD(create(parent));
    if (!parent) {
        if (!m_created)
            return true;
        // Destruction: children first, then the platform window, then the subscriptions.
        beforeDestroy();
        if (m_window)
            m_window->removeLanguageListener(this);
        if (m_fontSetting)
            m_fontSetting->removeListener(this);
        m_fontSetting = nullptr;
        platformDestroy();
        m_created = false;
        m_parent = nullptr;
        m_window = nullptr;
        return true;
    }
    if (m_created) {
        if (parent == m_parent)
            return true;
        create(nullptr);
    }

    // 1. Parent, window and the window's services.
    m_parent = parent;
    m_window = parent->getWindow();
    // 2. The platform window.
    if (!platformCreate()) {
        m_parent = nullptr;
        m_window = nullptr;
        return false;
    }
    m_created = true;
    if (m_window) {
        m_window->addLanguageListener(this);
        m_fontSetting = m_window->getFontSetting();
        if (m_fontSetting) {
            m_fontSetting->addListener(this);
            if (!m_font.explicitlySet && m_fontSetting->getFontCode() != 0)
                setFontCode(m_fontSetting->getFontCode());
        }
    }
    // 3. Text, looks and state.
    if (m_textId >= 0)
        refreshTextFromId();
    platformText();
    platformStyle();
    if (!m_enabled)
        platformEnable(false);
    if (!m_editable)
        platformEditable(false);
    afterCreate();
    // 4. Bounds and visibility.
    if (!m_layoutSuspended) {
        m_boundsPending = false;
        platformPlace(m_originX + m_x, m_originY + m_y, m_width, m_height);
    } else {
        m_boundsPending = true;
    }
    platformShow(m_visible);
    return true;
}

void Component::repaintRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(repaintRect(x, y, w, h));
    if (isVisible())
        platformRepaint(x, y, w, h);
}

void Component::repaint()
{
    S_ON_GUI_THREAD(repaint());
    if (isVisible())
        platformRepaint(0, 0, -1, -1);
}

void Component::resizeConstrained(int32_t w, int32_t h)
{
    S_ON_GUI_THREAD(resizeConstrained(w, h));
    int32_t minW = getMinWidth();
    int32_t minH = getMinHeight();
    w = std::clamp(w, minW, std::max(minW, getMaxWidth()));
    h = std::clamp(h, minH, std::max(minH, getMaxHeight()));
    setSize(w, h);
}

void Component::handle(base::IObject* sender, int32_t code)
{
    S_ON_GUI_THREAD(handle(sender, code));
    if (m_fontSetting && sender == m_fontSetting) {
        if (!m_font.explicitlySet)
            setFontCode(code);
        return;
    }
    if (code == 0 && m_textId >= 0)
        refreshTextFromId();
}

void Component::refreshTextFromId()
{
    std::u16string text;
    if (m_textId >= 0 && m_window && m_window->lookUpText(m_textId, text))
        setText(text);
}

void Component::setText(std::u16string_view text)
{
    S_ON_GUI_THREAD(setText(text));
    if (text == m_text)
        return;
    m_text.assign(text);
    if (m_created)
        platformText();
    textChanged();
}

void Component::setTextId(int32_t id)
{
    S_ON_GUI_THREAD(setTextId(id));
    if (id == m_textId)
        return;
    m_textId = id < 0 ? -1 : id;
    if (m_textId >= 0 && m_created)
        refreshTextFromId();
}

void Component::setFontCode(int32_t code)
{
    S_ON_GUI_THREAD(setFontCode(code));
    FontDescription font = m_font;
    if (!font.applyCode(code) || font == m_font)
        return;
    m_font = font;
    fontChanged();
}

void Component::setBold(bool on)
{
    S_ON_GUI_THREAD(setBold(on));
    FontDescription font = m_font;
    font.weight = on ? 700 : 400;
    font.explicitlySet = true;
    if (font == m_font)
        return;
    m_font = font;
    fontChanged();
}

void Component::setFontFace(std::u16string_view face)
{
    S_ON_GUI_THREAD(setFontFace(face));
    FontDescription font = m_font;
    font.face.assign(face);
    font.explicitlySet = true;
    if (font == m_font)
        return;
    m_font = font;
    fontChanged();
}

void Component::setTextColour(uint8_t r, uint8_t g, uint8_t b)
{
    S_ON_GUI_THREAD(setTextColour(r, g, b));
    uint32_t colour = rgb(r, g, b);
    if (colour == m_textColour)
        return;
    m_textColour = colour;
    if (m_created)
        platformStyle();
}

int32_t Component::parentLayoutType() const
{
    return m_parent ? m_parent->getLayoutType() : -1;
}

void Component::askParentToLayout(int times)
{
    S_ASSERT_GUI_THREAD();
    for (int i = 0; i < times && m_parent; ++i)
        m_parent->doLayout();
}

void Component::reset()
{
    S_ON_GUI_THREAD(reset());
    if (m_created)
        create(nullptr);
    static_cast<ComponentState&>(*this) = ComponentState {};
}

}
