#include "gui/drawer/skin/Thin.h"

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

Thin* Thin::make(std::u16string_view name, const Palette& rrggbb)
{
    std::array<draw::Colour, 6> p {};
    for (size_t i = 0; i < p.size(); ++i)
        p[i] = draw::fromRrggbb(rrggbb[i]);
    const Rgb p1(p[0]), p2(p[1]), p3(p[2]), p5(p[4]), p6(p[5]);

    Thin* skin = get();
    skin->setName(name);
    skin->fillEntries();

    skin->getWindow()->setCornerKinds(0, 0);
    skin->getWindow()->setFrameColour(p2.r, p2.g, p2.b);
    skin->getWindow()->setBackgroundColour(p1.r, p1.g, p1.b);

    button::Thin* button = skin->getButton();
    button->setSwitches(false, true, true);
    button->setBorderColour(p2.r, p2.g, p2.b);
    button->textDrawer().style(text::Basic::Normal).textColour = p[2];
    button->textDrawer().style(text::Basic::Disabled).textColour = p[2];

    skin->getText()->style(text::Basic::Normal).textColour = p[2];
    skin->getText()->style(text::Basic::Disabled).textColour = p[2];

    scrollbar::Thin* bar = skin->getScrollBar();
    bar->setWidth(15);
    bar->setLineColour(p2.r, p2.g, p2.b);
    bar->setBackgroundColour(p1.r, p1.g, p1.b);

    skin->getCheckBox()->setBoxColour(p[1]);
    skin->getCheckBox()->setTextColour(p[2]);
    skin->getCheckBox()->setDisabledTextColour(p[2]);
    skin->getRadioButton()->setMarkColour(p[1]);
    skin->getRadioButton()->setTextColour(p[2]);
    skin->getRadioButton()->setDisabledTextColour(p[2]);
    skin->getSlider()->setFirstColour(p[1]);
    skin->getSlider()->setSecondColour(p[3]);

    skin->getCounter()->setFirstColour(p5.r, p5.g, p5.b);
    skin->getCounter()->setSecondColour(p6.r, p6.g, p6.b);

    listheader::Thin* header = skin->getListHeader();
    header->setFramed(true);
    header->setFirstColour(p[1]);
    header->setSecondColour(p[0]);
    header->style(0).textColour = p[2];

    listbox::Basic* list = skin->getList();
    list->setBackgroundColour(p1.r, p1.g, p1.b);
    list->setTextColour(p3.r, p3.g, p3.b);
    list->setSelectionBackgroundColour(p2.r, p2.g, p2.b);
    list->setSelectionTextColour(p1.r, p1.g, p1.b);
    list->setAlternateColour(243, 243, 243);

    static_cast<statusbar::Thin*>(skin->getStatusBar())->setColour(p2.r, p2.g, p2.b);

    menu::Basic* menu = skin->getMenuBar();
    menu->normalStyle().textColour = p[2];
    menu->openStyle().textColour = p[0];
    menu->setHotColour(p2.r, p2.g, p2.b);
    menu->setHotFill(false);
    menu->setShift(true);

    skin->getCombo()->setFirstColour(p[2]);
    skin->getCombo()->setSecondColour(p[1]);
    skin->getCombo()->style(0).textColour = p[2];
    skin->getGroupBox()->setFrameColour(p[1]);
    skin->getGroupBox()->style(0).textColour = p[2];
    skin->getGroupBox()->style(1).textColour = p[2];
    skin->getTabBox()->setFrameColour(p[1]);
    return skin;
}

}
