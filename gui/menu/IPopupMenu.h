#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace s::lang {
class Localizer;
}

namespace s::gui {
class IComponent;
namespace events {
class IEventListener;
}
namespace menuitem {
class MenuItem;
}
}

namespace s::gui::menu {

// A drop-down or context menu: items and sub-menus in order, addressed by position (every entry
// counts, separators and sub-menus too), by command id or by the items' data. It opens at a point
// and reports the chosen command to its command listeners (code 0), which read getLastCommand.
//
// Ownership: the menu owns its items and its sub-menus; removing an entry releases it, releasing
// the menu releases them all. An item or a menu handed to an operation that refuses it (a position
// out of range) is released too, so callers hand over with Pooled<T>::take() and never look back.
//
// Lookups by command id marked "deep" search the menu's own items first, then its sub-menus in
// order, each the same way, and stop at the first hit. Operations on an id that no item carries and
// positions out of range return false and change nothing.
class IPopupMenu : public base::IObject
    , public thread::IPoolable {
public:
    static constexpr int32_t CommandChosen = 0;
    static constexpr int32_t AboutToOpen = 1;

    virtual bool addItem(menuitem::MenuItem* item) = 0;
    // 0 <= position <= getCount(); later entries move down.
    virtual bool insertItem(int32_t position, menuitem::MenuItem* item) = 0;
    virtual bool insertSubMenu(int32_t position, IPopupMenu* menu) = 0;
    virtual bool addSubMenu(IPopupMenu* menu) = 0;
    virtual bool removeAt(int32_t position) = 0;
    // The first own item with that command id, or data.
    virtual bool removeById(int32_t commandId) = 0;
    virtual bool removeByData(intptr_t data) = 0;
    // Deep; null when no item has the id.
    virtual menuitem::MenuItem* findItem(int32_t commandId) const = 0;
    // Deep.
    virtual bool hasCommand(int32_t commandId) const = 0;
    // Own entries only: the position of the first item with the id or data.
    virtual bool indexOfCommand(int32_t commandId, int32_t& position) const = 0;
    virtual bool indexOfData(intptr_t data, int32_t& position) const = 0;
    // Shows the sub-menu's entry again with its current title, greyed and closed when not enabled.
    virtual bool updateSubMenu(IPopupMenu* menu, bool enabled) = 0;
    // Deep.
    virtual bool setItemEnabled(int32_t commandId, bool on) = 0;
    virtual bool isItemEnabled(int32_t commandId) const = 0;

    // The language service that labels with text ids come from (sub-menus without one of their
    // own use their parent's). The menu follows its language switches.
    virtual void setLocalizer(lang::Localizer* localizer) = 0;
    // Deep.
    virtual bool isItemChecked(int32_t commandId) const = 0;
    virtual bool setItemChecked(int32_t commandId, bool on) = 0;
    // A literal label (a language switch leaves it alone), or a label by text id.
    virtual bool setItemLabel(int32_t commandId, std::u16string_view text) = 0;
    virtual bool setItemLabelId(int32_t commandId, int32_t labelId) = 0;
    // Looks every label and title with a text id up again (sub-menus too) and shows the marks again.
    virtual void relabel() = 0;

    // The title shown for the menu as a sub-menu or a menu-bar title.
    virtual std::u16string getTitle() const = 0;
    virtual int32_t getTitleId() const = 0;
    virtual void setTitleId(int32_t id) = 0;
    virtual void setTitle(std::u16string_view text) = 0;

    // Radio marks: within [first, last] exactly the item at position is marked (and checked); the
    // other items of the range lose mark and check. Separators and sub-menus in the range stay.
    virtual bool setRadioMark(int32_t position, int32_t first, int32_t last) = 0;
    // Over the whole menu, up to the separators around the position (every item of a range shows
    // a radio mark, marked or empty).
    virtual bool setRadioMarkAt(int32_t position) = 0;
    // Deep: setRadioMarkAt in the menu that holds the item.
    virtual bool setRadioMarkById(int32_t commandId) = 0;
    virtual bool setRadioMarkByData(intptr_t data) = 0;

    virtual int32_t getLastCommand() const = 0;
    virtual void addCommandListener(events::IEventListener* listener) = 0;
    virtual void removeCommandListener(events::IEventListener* listener) = 0;
    // Listeners hear code 1 just before the menu opens, however it is opened (also by a desktop
    // shell that shows a tray menu itself).
    virtual void addOpenListener(events::IEventListener* listener) = 0;
    virtual void removeOpenListener(events::IEventListener* listener) = 0;
    // Stores the id as the last command and tells the command listeners (code 0). Ids below 0
    // (separators, unset commands) are never dispatched: false.
    virtual bool dispatch(int32_t commandId) = 0;

    // Open the menu at a screen point (showAbove: with its bottom edge there) and return when it
    // closed; true when a command was chosen. The command reaches the listeners right after.
    // owner: the component the menu belongs to (its window becomes the menu's parent), or null.
    virtual bool showAbove(int32_t x, int32_t y, IComponent* owner) = 0;
    virtual bool showAt(int32_t x, int32_t y, IComponent* owner) = 0;
    // Closes the menu when it is open (a menu bar switching titles does this).
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Every entry: items, separators and sub-menus.
    virtual int32_t getCount() const = 0;
};

}
