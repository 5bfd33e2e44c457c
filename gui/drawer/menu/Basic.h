#pragma once

#include "foundation/thread/Pool.h"
#include "gui/TextStyle.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/text/Basic.h"

#include <span>
#include <string_view>
#include <vector>

namespace s::gui::drawer::menu {

// Menu bar titles. Each title is drawn with the text drawer in the bar's font, the open title with
// the open style (its rectangle first filled with the hot colour when hot fill is on); with the
// shift switch the open title's text moves one pixel down and right while pressed, up and left
// otherwise. A marked last title is drawn in RGB(0, 0, 204), underlined while open.
class Basic final : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_menu_Basic")
public:
    static constexpr draw::Colour MarkColour = draw::rgb(0, 0, 204);

    struct Title {
        std::u16string_view text;
        // Where the bar put it (see layoutTitles).
        draw::Rect rect;
    };

    Basic();

    // The title rectangles of a bar: each as wide as its text plus marginX on each side and as high
    // as the bar, one after the other from the bar's left; the last one at the bar's right end
    // when lastRightAligned.
    std::vector<draw::Rect> layoutTitles(draw::ICanvas& canvas, const draw::Rect& bar, std::span<const std::u16string_view> texts,
        const FontDescription& font, int32_t marginX, bool lastRightAligned) const;
    // openIndex: the open title or -1; pressed: the open title is held down.
    void paintBar(draw::ICanvas& canvas, const draw::Rect& bar, std::span<const Title> titles, const FontDescription& font, int32_t openIndex,
        bool pressed, bool markLast) const;
    void paintTitle(draw::ICanvas& canvas, const draw::Rect& r, std::u16string_view text, const FontDescription& font, bool open, bool pressed,
        bool marked) const;
    // A bar collapsed into one button.
    void paintCollapsed(draw::ICanvas& canvas, const draw::Rect& r, int32_t state, std::u16string_view text, const FontDescription& font) const;

    text::Basic& textDrawer() const { return *m_text; }
    button::Thin& buttonDrawer() const { return *m_button; }
    TextStyle& normalStyle() { return m_normalStyle; }
    TextStyle& openStyle() { return m_openStyle; }
    const TextStyle& getNormalStyle() const { return m_normalStyle; }
    const TextStyle& getOpenStyle() const { return m_openStyle; }
    void setHotColour(uint8_t r, uint8_t g, uint8_t b) { m_hot = draw::rgb(r, g, b); }
    draw::Colour getHotColour() const { return m_hot; }
    void setHotFill(bool on) { m_hotFill = on; }
    bool isHotFill() const { return m_hotFill; }
    void setShift(bool on) { m_shift = on; }
    bool isShift() const { return m_shift; }
    // The colours of the drop-down part a skin gives (text, frame, highlight).
    void setInnerColours(draw::Colour text, draw::Colour frame, draw::Colour highlight)
    {
        m_innerText = text;
        m_innerFrame = frame;
        m_innerHighlight = highlight;
    }
    draw::Colour getInnerTextColour() const { return m_innerText; }
    draw::Colour getInnerFrameColour() const { return m_innerFrame; }
    draw::Colour getInnerHighlightColour() const { return m_innerHighlight; }

    void reset() override;

private:
    thread::Pooled<text::Basic> m_text;
    thread::Pooled<button::Thin> m_button;
    TextStyle m_normalStyle;
    TextStyle m_openStyle;
    draw::Colour m_hot { 0 };
    bool m_hotFill { true };
    bool m_shift { false };
    draw::Colour m_innerText { draw::UnsetColour };
    draw::Colour m_innerFrame { draw::UnsetColour };
    draw::Colour m_innerHighlight { draw::UnsetColour };
};

}
