#pragma once

// Helpers of the menu tests: a two-language pack and quick menu building.

#include "GuiTest.h"
#include "formats/lang/Localizer.h"
#include "formats/xml/Node.h"
#include "gui/menu/MenuItem.h"
#include "gui/os/PopupMenu.h"

#include <fstream>
#include <iterator>
#include <string>

namespace menutest {

using s::gui::menuitem::MenuItem;
using s::gui::menuitem::makeMenuItem;
using s::gui::menuitem::makeSeparator;
using s::gui::os::PopupMenu;
using s::thread::Pooled;

// English and German texts for the ids 100 "Play", 200 "Locate File", 300 "Remove and...",
// 400 "Delete File", 500 "View", 600 "Keep on Top".
inline Pooled<s::lang::Localizer> twoLanguages()
{
    std::ifstream file(TEST_DATA_DIR "/menu_lang.xml", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    Pooled<s::lang::Localizer> localizer;
    localizer->setSystemLanguageName(u"English");
    Pooled<s::xml::Node> root;
    root->parseBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    localizer->load(root.get());
    localizer->selectLanguage(u"English");
    return localizer;
}

// Work the GUI thread was handed before this call has run when it returns.
inline void settle()
{
    guitest::onUiThread([] { });
    guitest::onUiThread([] { });
}

inline MenuItem* item(std::u16string_view label, int32_t command)
{
    return makeMenuItem(label, command);
}

}
