#pragma once

#include "formats/lang/ILangListener.h"
#include "foundation/thread/Pool.h"
#include "gui/events/ListenerList.h"
#include "gui/menu/IPopupMenu.h"

#include <QPointer>

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;

namespace s::gui::os {

class PopupMenuWidget;

// The toolkit's popup menu on a QMenu. The menu itself is a plain object: it can be built on any
// thread (the main window builds its menus before it shows), and the QMenu with its QActions is
// made on the GUI thread when it is first needed (shown, put in a menu bar or a tray). From then on
// every change hops to the GUI thread, and listeners are always called there. Build a menu on one
// thread until it is shown.
//
// On the QMenu: command ids live in the actions' data; items that were ever checked are checkable
// actions; the items of a radio range are in one exclusive action group. The marks shown always
// follow the model: choosing a checkable item does not flip it, the application decides (as it
// does after reading the command).
//
// A chosen command goes to the top menu of the chain that was opened (a command in a sub-menu
// goes to the menu the user opened), and reaches its listeners after the menu has closed.
class PopupMenu final : public menu::IPopupMenu
    , public lang::ILangListener {
    S_POOLED_CLASS(PopupMenu, "s_gui_os_PopupMenu")
public:
    PopupMenu() = default;
    ~PopupMenu() override;

    // --- IPopupMenu ---
    bool addItem(menuitem::MenuItem* item) override;
    bool insertItem(int32_t position, menuitem::MenuItem* item) override;
    bool insertSubMenu(int32_t position, IPopupMenu* menu) override;
    bool addSubMenu(IPopupMenu* menu) override;
    bool removeAt(int32_t position) override;
    bool removeById(int32_t commandId) override;
    bool removeByData(intptr_t data) override;
    menuitem::MenuItem* findItem(int32_t commandId) const override;
    bool hasCommand(int32_t commandId) const override;
    bool indexOfCommand(int32_t commandId, int32_t& position) const override;
    bool indexOfData(intptr_t data, int32_t& position) const override;
    bool updateSubMenu(IPopupMenu* menu, bool enabled) override;
    bool setItemEnabled(int32_t commandId, bool on) override;
    bool isItemEnabled(int32_t commandId) const override;
    void setLocalizer(lang::Localizer* localizer) override;
    bool isItemChecked(int32_t commandId) const override;
    bool setItemChecked(int32_t commandId, bool on) override;
    bool setItemLabel(int32_t commandId, std::u16string_view text) override;
    bool setItemLabelId(int32_t commandId, int32_t labelId) override;
    void relabel() override;
    std::u16string getTitle() const override;
    int32_t getTitleId() const override { return m_titleId; }
    void setTitleId(int32_t id) override;
    void setTitle(std::u16string_view text) override;
    bool setRadioMark(int32_t position, int32_t first, int32_t last) override;
    bool setRadioMarkAt(int32_t position) override;
    bool setRadioMarkById(int32_t commandId) override;
    bool setRadioMarkByData(intptr_t data) override;
    int32_t getLastCommand() const override { return m_lastCommand.load(); }
    void addCommandListener(events::IEventListener* listener) override;
    void removeCommandListener(events::IEventListener* listener) override;
    void addOpenListener(events::IEventListener* listener) override;
    void removeOpenListener(events::IEventListener* listener) override;
    bool dispatch(int32_t commandId) override;
    bool showAbove(int32_t x, int32_t y, IComponent* owner) override;
    bool showAt(int32_t x, int32_t y, IComponent* owner) override;
    void close() override;
    bool isOpen() const override;
    int32_t getCount() const override { return static_cast<int32_t>(m_entries.size()); }

    // --- lang::ILangListener ---
    void languageChanged(lang::Localizer& localizer) override;

    // The language service labels come from: the menu's own, else its parent's.
    lang::Localizer* localizer() const;
    PopupMenu* parentMenu() const { return m_parent; }
    // The item or sub-menu at a position (null for the other kind or out of range).
    menuitem::MenuItem* itemAt(int32_t position) const;
    PopupMenu* subMenuAt(int32_t position) const;

    // The QMenu, made on first call (GUI thread only). Menu bars and trays show it themselves.
    QMenu* platformMenu();
    bool isBuilt() const { return m_built.load(); }
    // The command of an action of this menu or its sub-menus, as chosen by the user (GUI thread).
    void actionChosen(QAction* action);

    void reset() override;

private:
    friend class PopupMenuWidget;
    struct Entry {
        menuitem::MenuItem* item { nullptr };
        PopupMenu* subMenu { nullptr };
        bool subMenuEnabled { true };
        // The radio range the item belongs to (0: none).
        int32_t radioGroup { 0 };
        // The item's action, or the sub-menu's menu action (owned by the sub-menu's QMenu).
        QAction* action { nullptr };
    };

    // Runs a change here before the QMenu exists, on the GUI thread afterwards.
    template<class F>
    auto change(F&& f);
    // The menu and position that hold a command id, deep; false when none.
    bool locate(int32_t commandId, const PopupMenu*& holder, size_t& index) const;
    bool locateOwn(int32_t commandId, size_t& index) const;
    // Changes the item that carries a command id (deep) and shows it again; false when none does.
    bool changeItemById(int32_t commandId, const std::function<void(PopupMenu&, menuitem::MenuItem&)>& f);
    bool insertEntry(int32_t position, Entry entry);
    void releaseEntry(Entry& entry);
    void subscribe(bool on);
    void relabelOwn();
    void relabelTree();
    void languageChangedTree();
    PopupMenu* topMenu();
    bool show(int32_t x, int32_t y, IComponent* owner, bool above);
    void attachTo(IComponent* owner);
    void aboutToOpen();

    // --- QMenu side (GUI thread) ---
    void build();
    void makeAction(size_t index);
    void showEntry(size_t index);
    void showTitle();
    QActionGroup* groupFor(int32_t radioGroup);
    void dropPlatformMenu();

    std::vector<Entry> m_entries;
    PopupMenu* m_parent { nullptr };
    std::u16string m_title;
    int32_t m_titleId { -1 };
    lang::Localizer* m_localizer { nullptr };
    bool m_subscribed { false };
    int32_t m_nextRadioGroup { 1 };
    std::atomic<int32_t> m_lastCommand { -1 };
    events::ListenerList m_commandListeners;
    events::ListenerList m_openListeners;
    std::atomic<bool> m_built { false };
    PopupMenuWidget* m_menu { nullptr };
    std::map<int32_t, QActionGroup*> m_groups;
};

}
