#pragma once

#include "foundation/thread/Pool.h"
#include "gui/TextStyle.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"
#include "gui/drawer/border/Thin.h"
#include "gui/drawer/text/Basic.h"

namespace s::gui::drawer::button {

// Buttons with a shaded one-pixel border, and their glyphs. Owns one border drawer and two text
// drawers: the first serves the normal and disabled fonts, the second the checked font.
class Thin final : public IDrawer {
    S_POOLED_CLASS(Thin, "s_gui_drawer_button_Thin")
public:
    enum State : int32_t { Normal = 0, Hot = 1, Pressed = 2 };

    Thin();

    // state: 0 normal, 1 hot, 2 pressed. font: the font of the button's current look (checked,
    // normal or disabled), or null to draw no text. checked comes already inverted by the button.
    void paint(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t state, std::u16string_view text,
        bool raised, const FontDescription* font, bool enabled, bool checked, bool tabLook) const;
    // Whether it knew the name (see GlyphPainter).
    bool paintGlyph(draw::ICanvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom, std::u16string_view name, uint8_t red,
        uint8_t green, uint8_t blue) const;
    // The rectangle the content takes for that state: the button inset by 2, moved one pixel up and
    // left when hot or down and right when pressed while contentShift is on.
    draw::Rect contentRect(const draw::Rect& button, int32_t effectiveState) const;
    // Hot is drawn as pressed and pressed as hot on a checked button.
    static int32_t effectiveState(int32_t state, bool checked);

    void setFaceColour(uint8_t r, uint8_t g, uint8_t b) { m_face = draw::rgb(r, g, b); }
    draw::Colour getFaceColour() const { return m_face; }
    // The two switches nothing paints from, kept for those who store them.
    void setSwitches(bool first, bool second, bool contentShift)
    {
        m_switch1 = first;
        m_switch2 = second;
        m_contentShift = contentShift;
    }
    bool getSwitch1() const { return m_switch1; }
    bool getSwitch2() const { return m_switch2; }
    void setContentShift(bool on) { m_contentShift = on; }
    bool isContentShift() const { return m_contentShift; }
    // 0, 1 or 2; any other kind draws no border.
    void setCornerKind(int32_t kind) { m_cornerKind = kind; }
    int32_t getCornerKind() const { return m_cornerKind; }
    void setBorderColour(uint8_t r, uint8_t g, uint8_t b) { m_border = draw::rgb(r, g, b); }
    void setDisabledBorderColour(uint8_t r, uint8_t g, uint8_t b) { m_disabledBorder = draw::rgb(r, g, b); }
    void setCheckedBorderColour(uint8_t r, uint8_t g, uint8_t b) { m_checkedBorder = draw::rgb(r, g, b); }
    void setCheckedFillColour(uint8_t r, uint8_t g, uint8_t b) { m_checkedFill = draw::rgb(r, g, b); }
    draw::Colour getBorderColour() const { return m_border; }
    draw::Colour getDisabledBorderColour() const { return m_disabledBorder; }
    draw::Colour getCheckedBorderColour() const { return m_checkedBorder; }
    draw::Colour getCheckedFillColour() const { return m_checkedFill; }
    void setBorderShaded(bool on) { m_borderDrawer->setShaded(on); }

    // The text styles the button copies onto its fonts: normal and disabled from the first text
    // drawer, checked from the second's normal style.
    text::Basic& textDrawer() const { return *m_textDrawer; }
    text::Basic& checkedTextDrawer() const { return *m_checkedTextDrawer; }
    const TextStyle& getNormalStyle() const { return m_textDrawer->getStyle(text::Basic::Normal); }
    const TextStyle& getDisabledStyle() const { return m_textDrawer->getStyle(text::Basic::Disabled); }
    const TextStyle& getCheckedStyle() const { return m_checkedTextDrawer->getStyle(text::Basic::Normal); }
    void measure(draw::ICanvas& canvas, std::u16string_view text, const FontDescription& font, const draw::Rect& in, int32_t& width,
        int32_t& height) const
    {
        m_textDrawer->measure(canvas, text, font, in, width, height);
    }

    void reset() override;

private:
    draw::Colour m_face { 0 };
    bool m_switch1 { true };
    bool m_switch2 { true };
    bool m_contentShift { false };
    int32_t m_cornerKind { 1 };
    draw::Colour m_border { 0 };
    draw::Colour m_disabledBorder { 0 };
    draw::Colour m_checkedBorder { 0 };
    draw::Colour m_checkedFill { 0 };
    thread::Pooled<border::Thin> m_borderDrawer;
    thread::Pooled<text::Basic> m_textDrawer;
    thread::Pooled<text::Basic> m_checkedTextDrawer;
};

}
