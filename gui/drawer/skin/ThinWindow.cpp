#include "gui/drawer/skin/ThinWindow.h"

#include "gui/drawer/statusbar/Thin.h"

namespace s::gui::drawer::skin {

namespace {

struct Rgb {
    uint8_t r, g, b;
    explicit Rgb(draw::Colour c)
        : r(draw::redOf(c))
        , g(draw::greenOf(c))
        , b(draw::blueOf(c))
    {
    }
};

}

ThinWindow* ThinWindow::make(std::u16string_view name, const Palette& rrggbb)
{
    // W[1]..W[15] as the palette counts them; W[0] is unused.
    std::array<draw::Colour, 16> W {};
    for (size_t i = 0; i < rrggbb.size(); ++i)
        W[i + 1] = draw::fromRrggbb(rrggbb[i]);
    auto rgbOf = [&](int i) { return Rgb(W[static_cast<size_t>(i)]); };

    ThinWindow* skin = get();
    skin->setName(name);
    skin->fillEntries();

    const Rgb w1 = rgbOf(1), w2 = rgbOf(2), w3 = rgbOf(3), w4 = rgbOf(4), w8 = rgbOf(8), w9 = rgbOf(9), w10 = rgbOf(10), w11 = rgbOf(11),
              w12 = rgbOf(12), w13 = rgbOf(13), w14 = rgbOf(14), w15 = rgbOf(15);

    skin->getWindow()->setCornerKinds(0, 0);
    skin->getWindow()->setFrameColour(w2.r, w2.g, w2.b);
    skin->getWindow()->setBackgroundColour(w1.r, w1.g, w1.b);

    button::Thin* button = skin->getButton();
    button->setSwitches(false, true, true);
    button->setBorderColour(w4.r, w4.g, w4.b);
    button->setDisabledBorderColour(w3.r, w3.g, w3.b);
    button->setCheckedBorderColour(w4.r, w4.g, w4.b);
    button->setCheckedFillColour(w9.r, w9.g, w9.b);
    button->textDrawer().style(text::Basic::Normal).textColour = W[6];
    button->textDrawer().style(text::Basic::Disabled).textColour = W[3];
    button->checkedTextDrawer().style(text::Basic::Normal).textColour = W[10];

    text::Basic* text = skin->getText();
    text->style(text::Basic::Normal).textColour = W[6];
    text->style(text::Basic::Normal).effectColour1 = W[1];
    text->style(text::Basic::Normal).effectColour2 = W[7];
    text->style(text::Basic::Disabled).textColour = W[3];
    text->style(text::Basic::Link).textColour = W[6];
    text->style(text::Basic::LinkHovered).textColour = W[4];

    scrollbar::Thin* bar = skin->getScrollBar();
    bar->setWidth(15);
    bar->setLineColour(w4.r, w4.g, w4.b);
    bar->setBackgroundColour(w8.r, w8.g, w8.b);

    skin->getCheckBox()->setBoxColour(W[4]);
    skin->getCheckBox()->setTextColour(W[6]);
    skin->getCheckBox()->setDisabledTextColour(W[3]);
    skin->getRadioButton()->setMarkColour(W[4]);
    skin->getRadioButton()->setTextColour(W[6]);
    skin->getRadioButton()->setDisabledTextColour(W[3]);
    skin->getSlider()->setFirstColour(W[4]);
    skin->getSlider()->setSecondColour(W[8]);
    skin->getSlider()->setThirdColour(W[3]);

    skin->getCounter()->setFirstColour(w14.r, w14.g, w14.b);
    skin->getCounter()->setSecondColour(w15.r, w15.g, w15.b);

    listheader::Thin* header = skin->getListHeader();
    header->setFramed(true);
    header->setFirstColour(W[4]);
    header->setSecondColour(W[9]);
    header->style(0).textColour = W[10];

    listbox::Basic* list = skin->getList();
    list->setBackgroundColour(w11.r, w11.g, w11.b);
    list->setTextColour(w12.r, w12.g, w12.b);
    list->setSelectionBackgroundColour(w9.r, w9.g, w9.b);
    list->setSelectionTextColour(w10.r, w10.g, w10.b);
    list->setAlternateColour(w13.r, w13.g, w13.b);

    static_cast<statusbar::Thin*>(skin->getStatusBar())->setColour(w4.r, w4.g, w4.b);

    menu::Basic* menu = skin->getMenuBar();
    menu->normalStyle().textColour = W[6];
    menu->openStyle().textColour = W[1];
    menu->setHotColour(w4.r, w4.g, w4.b);
    menu->setHotFill(false);
    menu->setShift(true);
    menu->setInnerColours(W[6], W[4], W[6]);

    skin->getCombo()->setFirstColour(W[6]);
    skin->getCombo()->setSecondColour(W[4]);
    skin->getCombo()->style(0).textColour = W[6];
    skin->getGroupBox()->setFrameColour(W[5]);
    skin->getGroupBox()->style(0).textColour = W[6];
    skin->getGroupBox()->style(1).textColour = W[6];
    skin->getTabBox()->setFrameColour(W[4]);
    for (size_t i = 0; i < tabbox::Thin::StyleCount; ++i)
        skin->getTabBox()->style(i).textColour = W[6];
    return skin;
}

}
