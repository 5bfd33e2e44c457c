// Skins and the skinner without a window: the families, their palettes, finding, choosing and
// selecting skins, and who owns the drawers.

#include "gui/drawer/Skinner.h"
#include "gui/drawer/listbox/Thin.h"
#include "gui/drawer/skin/Thin.h"
#include "gui/drawer/skin/ThinWindow.h"
#include "gui/drawer/statusbar/Thin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace s::gui;
using drawer::Skinner;
using draw::rgb;
using s::thread::Pooled;

namespace {

struct Heard : events::IEventListener {
    std::vector<std::pair<s::base::IObject*, int32_t>> events;
    void handle(s::base::IObject* sender, int32_t code) override { events.push_back({ sender, code }); }
};

std::vector<std::u16string> namesOf(const Skinner& skinner)
{
    std::vector<std::u16string> names;
    for (uint32_t i = 0; i < skinner.getSkinCount(); ++i)
        names.push_back(skinner.getSkinName(i));
    return names;
}

}

TEST(Skinner, FamiliesInTheirOrder)
{
    Pooled<Skinner> skinner;
    EXPECT_EQ(skinner->getFamily(), u"Basic");
    skinner->loadFamily();
    EXPECT_EQ(skinner->getSkinCount(), 0u);

    skinner->setFamily(u"ThinWindow");
    skinner->loadFamily();
    EXPECT_EQ(namesOf(*skinner),
        (std::vector<std::u16string> { u"White", u"Ivory", u"Black", u"Black II", u"Black Black", u"Black Black II", u"Classic LG", u"Beige",
            u"Sky Blue", u"Pink", u"Salmon Red", u"Yellow", u"Green", u"Orange", u"Khaki", u"Indigo" }));

    Pooled<Skinner> thin;
    thin->setFamily(u"Thin");
    thin->loadFamily();
    EXPECT_EQ(namesOf(*thin),
        (std::vector<std::u16string> { u"White", u"Light Gray", u"Black", u"Ivory", u"Sky Blue", u"Pink", u"Green", u"Green2", u"Yellow",
            u"Orange", u"Khaki", u"Indigo", u"Salmon Red" }));
    for (uint32_t i = 0; i < thin->getSkinCount(); ++i) {
        for (int32_t e = 0; e < drawer::skin::SkinBase::EntryCount; ++e)
            EXPECT_NE(thin->getSkin(i)->getEntry(e), nullptr);
    }
}

TEST(Skinner, FindChooseAndSelect)
{
    Pooled<Skinner> skinner;
    skinner->setFamily(u"ThinWindow");
    skinner->loadFamily();
    int32_t index = -1;
    EXPECT_TRUE(skinner->findSkin(u"Classic LG", index));
    EXPECT_EQ(index, 6);
    index = -1;
    EXPECT_FALSE(skinner->findSkin(u"classic lg", index));
    EXPECT_EQ(index, -1);

    // A stored name of the family wins; one that is not falls back to the requested name; a
    // request that is not in the family either gets the first skin.
    EXPECT_EQ(skinner->chooseSkin(u"Pink", u"Classic LG"), 9);
    EXPECT_EQ(skinner->chooseSkin(u"Purple", u"Classic LG"), 6);
    EXPECT_EQ(skinner->chooseSkin(u"", u"Classic LG"), 6);
    EXPECT_EQ(skinner->chooseSkin(u"", u"Nothing"), 0);

    Heard heard;
    skinner->addSkinListener(&heard);
    EXPECT_TRUE(skinner->selectSkin(6));
    EXPECT_TRUE(skinner->selectSkin(6));
    EXPECT_FALSE(skinner->selectSkin(16));
    EXPECT_FALSE(skinner->selectSkin(-1));
    ASSERT_EQ(heard.events.size(), 1u);
    EXPECT_EQ(heard.events[0].first, skinner.get());
    EXPECT_EQ(heard.events[0].second, 0);
    EXPECT_EQ(skinner->getCurrentSkin()->getName(), u"Classic LG");
    skinner->selectSkin(0);
    EXPECT_EQ(heard.events.size(), 2u);
    skinner->removeSkinListener(&heard);
    skinner->selectSkin(1);
    EXPECT_EQ(heard.events.size(), 2u);
}

TEST(Skins, ClassicLgPaletteReachesTheDrawers)
{
    Pooled<Skinner> skinner;
    skinner->setFamily(u"ThinWindow");
    skinner->loadFamily();
    int32_t index = 0;
    ASSERT_TRUE(skinner->findSkin(u"Classic LG", index));
    drawer::skin::SkinBase* skin = skinner->getSkin(static_cast<uint32_t>(index));
    // W14 C3EA00 is (195, 234, 0) with red in the low byte.
    EXPECT_EQ(skin->getCounter()->getFirstColour(), rgb(195, 234, 0));
    EXPECT_EQ(skin->getCounter()->getSecondColour(), rgb(0x19, 0x19, 0x19));
    EXPECT_EQ(skin->getWindow()->getBackgroundColour(), rgb(0x74, 0x74, 0x74));
    EXPECT_EQ(skin->getWindow()->getFrameColour(), rgb(0x11, 0x11, 0x11));
    EXPECT_EQ(skin->getButton()->getBorderColour(), rgb(0x11, 0x11, 0x11));
    EXPECT_EQ(skin->getButton()->getDisabledBorderColour(), rgb(0x56, 0x56, 0x56));
    EXPECT_EQ(skin->getButton()->getCheckedFillColour(), rgb(0x19, 0x19, 0x19));
    EXPECT_FALSE(skin->getButton()->getSwitch1());
    EXPECT_TRUE(skin->getButton()->getSwitch2());
    EXPECT_TRUE(skin->getButton()->isContentShift());
    EXPECT_EQ(skin->getButton()->getNormalStyle().textColour, rgb(255, 255, 255));
    EXPECT_EQ(skin->getButton()->getDisabledStyle().textColour, rgb(0x56, 0x56, 0x56));
    EXPECT_EQ(skin->getButton()->getCheckedStyle().textColour, rgb(255, 255, 255));
    EXPECT_EQ(skin->getText()->getStyle(1).textColour, rgb(255, 255, 255));
    EXPECT_EQ(skin->getText()->getStyle(1).effectColour1, rgb(0x74, 0x74, 0x74));
    EXPECT_EQ(skin->getText()->getStyle(1).effectColour2, rgb(0x33, 0x33, 0x33));
    EXPECT_EQ(skin->getScrollBar()->getWidth(), 15);
    EXPECT_EQ(skin->getScrollBar()->getLineColour(), rgb(0x11, 0x11, 0x11));
    EXPECT_EQ(skin->getScrollBar()->getBackgroundColour(), rgb(0x74, 0x74, 0x74));
    EXPECT_EQ(skin->getList()->getBackgroundColour(), rgb(0x31, 0x31, 0x31));
    EXPECT_EQ(skin->getList()->getTextColour(), rgb(0xBF, 0xBF, 0xBF));
    EXPECT_EQ(skin->getList()->getAlternateColour(), rgb(0x38, 0x38, 0x38));
    EXPECT_NE(dynamic_cast<drawer::listbox::Thin*>(skin->getList()), nullptr);
    auto* status = dynamic_cast<drawer::statusbar::Thin*>(skin->getStatusBar());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->getColour(), rgb(0x11, 0x11, 0x11));
    EXPECT_EQ(skin->getMenuBar()->getOpenStyle().textColour, rgb(0x74, 0x74, 0x74));
    EXPECT_FALSE(skin->getMenuBar()->isHotFill());
    EXPECT_TRUE(skin->getMenuBar()->isShift());
    EXPECT_EQ(skin->getSlider()->getThirdColour(), rgb(0x56, 0x56, 0x56));
    EXPECT_EQ(skin->getGroupBox()->getFrameColour(), rgb(0x11, 0x11, 0x11));

    // The "Thin" family's list of "White" uses the fixed alternate colour.
    Pooled<Skinner> thin;
    thin->setFamily(u"Thin");
    thin->loadFamily();
    EXPECT_EQ(thin->getSkin(0)->getList()->getAlternateColour(), rgb(243, 243, 243));
    EXPECT_EQ(thin->getSkin(2)->getCounter()->getFirstColour(), rgb(0xD5, 0xEB, 0x6B));
}

namespace {

template<class T>
uint32_t freeOf()
{
    return s::thread::poolOf<T>().freeCount();
}

}

TEST(Skins, ReleasingASkinReleasesItsDrawersExactlyOnce)
{
    using namespace drawer;
    auto counts = [] {
        return std::vector<uint32_t> { freeOf<window::Thin>(), freeOf<button::Thin>(), freeOf<scrollbar::Thin>(), freeOf<checkbox::Thin>(),
            freeOf<radiobutton::Thin>(), freeOf<slider::Thin>(), freeOf<drawer::counter::Basic>(), freeOf<listheader::Thin>(), freeOf<listbox::Thin>(),
            freeOf<statusbar::Thin>(), freeOf<menu::Basic>(), freeOf<combo::Thin>(), freeOf<groupbox::Thin>(), freeOf<tabbox::Thin>() };
    };
    skin::ThinWindow* skin = skin::ThinWindow::make(u"Test", {});
    const std::vector<uint32_t> before = counts();
    const uint32_t textBefore = freeOf<text::Basic>();
    skin->release();
    const std::vector<uint32_t> after = counts();
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i], before[i] + 1) << "entry " << i;
    // The text entry; drawers that own text drawers hand theirs back and take fresh ones as their
    // reset brings back the defaults, so those leave the count as it was.
    EXPECT_EQ(freeOf<text::Basic>(), textBefore + 1);

    // Replacing an entry releases the old drawer once.
    skin::Thin* thin = skin::Thin::make(u"T", {});
    window::Thin* replacement = window::Thin::get();
    const uint32_t windows = freeOf<window::Thin>();
    thin->setWindow(replacement);
    EXPECT_EQ(freeOf<window::Thin>(), windows + 1);
    EXPECT_EQ(thin->getWindow(), replacement);
    thin->release();
}
