#pragma once

#include "foundation/thread/Pool.h"
#include "gui/draw/ICanvas.h"
#include "gui/drawer/IDrawer.h"
#include "gui/drawer/button/Thin.h"

#include <string_view>

namespace s::gui::drawer::listbox {

// One cell of a list row as the list hands it to its drawer.
struct Cell {
    draw::Rect rect;
    std::u16string_view text;
    // 0 left, 1 centre, 2 right.
    int32_t alignment { 0 };
    // The row style's font (its text colour is the row's colour; unset means the drawer's).
    const FontDescription* font { nullptr };
    bool ellipsis { true };
    bool selected { false };
    bool focused { false };
    bool oddRow { false };
    bool alternateRows { false };
    bool fullRowSelect { false };
    // A list colour that replaces the drawer's alternate-row colour (unset: the drawer's).
    draw::Colour alternateColour { draw::UnsetColour };
    // The value of a progress cell (tenths of a percent) or a status cell (the job state).
    bool progress { false };
    bool status { false };
    int64_t value { 0 };
    // 0 none, 1 unchecked, 2 checked.
    int32_t checkState { 0 };
    // 0 none, 1 closed, 2 open.
    int32_t tree { 0 };
};

// List cells: background, the selection strip, text, and the progress and status looks.
class Basic : public IDrawer {
    S_POOLED_CLASS(Basic, "s_gui_drawer_listbox_Basic")
public:
    static constexpr draw::Colour ProgressFrame = draw::rgb(240, 240, 240);
    static constexpr draw::Colour ProgressGreen = draw::rgb(134, 196, 64);
    static constexpr draw::Colour ProgressGrey = draw::rgb(170, 170, 170);
    static constexpr draw::Colour ProgressRed = draw::rgb(255, 0, 0);
    static constexpr draw::Colour StatusError = draw::rgb(255, 0, 0);
    static constexpr draw::Colour StatusPaused = draw::rgb(153, 153, 153);
    static constexpr draw::Colour StatusCompleted = draw::rgb(68, 132, 5);
    static constexpr int32_t TextPadding = 4;

    Basic();

    // Paints the cell and gives back its hot area (the check box or tree mark), empty when none.
    draw::Rect paintCell(draw::ICanvas& canvas, const Cell& cell) const;
    // The text colour a status value selects, or unset for the row style's colour.
    static draw::Colour statusColour(int64_t value);

    void setBackgroundColour(uint8_t r, uint8_t g, uint8_t b) { m_background = draw::rgb(r, g, b); }
    void setTextColour(uint8_t r, uint8_t g, uint8_t b) { m_text = draw::rgb(r, g, b); }
    void setSelectionBackgroundColour(uint8_t r, uint8_t g, uint8_t b) { m_selectionBackground = draw::rgb(r, g, b); }
    void setSelectionTextColour(uint8_t r, uint8_t g, uint8_t b) { m_selectionText = draw::rgb(r, g, b); }
    void setAlternateColour(uint8_t r, uint8_t g, uint8_t b) { m_alternate = draw::rgb(r, g, b); }
    draw::Colour getBackgroundColour() const { return m_background; }
    draw::Colour getTextColour() const { return m_text; }
    draw::Colour getSelectionBackgroundColour() const { return m_selectionBackground; }
    draw::Colour getSelectionTextColour() const { return m_selectionText; }
    draw::Colour getAlternateColour() const { return m_alternate; }
    button::Thin& buttonDrawer() const { return *m_button; }

    void reset() override;

private:
    void paintProgress(draw::ICanvas& canvas, const Cell& cell, const FontDescription& font) const;

    draw::Colour m_background { 0 };
    draw::Colour m_text { 0 };
    draw::Colour m_selectionBackground { 0 };
    draw::Colour m_selectionText { 0 };
    draw::Colour m_alternate { 0 };
    thread::Pooled<button::Thin> m_button;
};

}
