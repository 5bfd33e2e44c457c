#include "gui/os/PopupMenu.h"

#include "formats/lang/Localizer.h"
#include "gui/IComponent.h"
#include "gui/menu/MenuItem.h"
#include "gui/os/Bound.h"
#include "gui/os/UIThread.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSignalBlocker>
#include <QWindow>

#include <cassert>

namespace s::gui::os {

using menuitem::MenuItem;

// The QMenu of one popup menu. It forgets its menu when the menu is reset, so a menu that is
// still closing (or a late signal) never reaches a menu that went back to its pool.
class PopupMenuWidget : public QMenu {
public:
    explicit PopupMenuWidget(PopupMenu* owner)
        : m_owner(owner)
    {
        connect(this, &QMenu::aboutToShow, this, [this] {
            if (m_owner)
                m_owner->aboutToOpen();
        });
    }
    PopupMenu* owner() const { return m_owner; }
    void detach() { m_owner = nullptr; }

private:
    PopupMenu* m_owner;
};

namespace {

// Reads and changes of the model run where the menu lives: on the calling thread before the QMenu
// exists, on the GUI thread afterwards.
template<class F>
auto inPlace(const std::atomic<bool>& built, F&& f)
{
    if (built.load())
        return onUiThread(std::forward<F>(f));
    return f();
}

}

PopupMenu::~PopupMenu() = default;

template<class F>
auto PopupMenu::change(F&& f)
{
    return inPlace(m_built, std::forward<F>(f));
}

// --- entries ---

bool PopupMenu::addItem(MenuItem* item)
{
    assert(item);
    return insertItem(getCount(), item);
}

bool PopupMenu::insertItem(int32_t position, MenuItem* item)
{
    assert(item);
    return change([&] {
        Entry entry;
        entry.item = item;
        item->relabel(localizer());
        return insertEntry(position, entry);
    });
}

bool PopupMenu::addSubMenu(IPopupMenu* menu)
{
    return insertSubMenu(getCount(), menu);
}

bool PopupMenu::insertSubMenu(int32_t position, IPopupMenu* menu)
{
    auto* sub = dynamic_cast<PopupMenu*>(menu);
    assert(sub && "sub-menus are popup menus of this toolkit");
    assert(!sub->m_parent && "a menu is the sub-menu of one menu only");
#ifndef NDEBUG
    for (PopupMenu* p = this; p; p = p->m_parent)
        assert(p != sub && "a menu cannot hold itself");
#endif
    // A menu that was shown on its own already has its QMenu: the whole tree then lives on the
    // GUI thread.
    if (sub->isBuilt() && !isBuilt())
        onUiThread([&] { build(); });
    return change([&] {
        Entry entry;
        entry.subMenu = sub;
        if (position < 0 || position > getCount()) {
            sub->release();
            return false;
        }
        sub->m_parent = this;
        sub->relabelTree();
        return insertEntry(position, entry);
    });
}

bool PopupMenu::insertEntry(int32_t position, Entry entry)
{
    if (position < 0 || position > getCount()) {
        releaseEntry(entry);
        return false;
    }
    m_entries.insert(m_entries.begin() + position, entry);
    if (m_menu)
        makeAction(static_cast<size_t>(position));
    return true;
}

void PopupMenu::releaseEntry(Entry& entry)
{
    if (entry.action && m_menu) {
        m_menu->removeAction(entry.action);
        if (entry.item)
            delete entry.action;
    }
    entry.action = nullptr;
    if (entry.item)
        entry.item->release();
    if (entry.subMenu) {
        entry.subMenu->m_parent = nullptr;
        entry.subMenu->release();
    }
    entry.item = nullptr;
    entry.subMenu = nullptr;
}

bool PopupMenu::removeAt(int32_t position)
{
    return change([&] {
        if (position < 0 || position >= getCount())
            return false;
        Entry entry = m_entries[static_cast<size_t>(position)];
        m_entries.erase(m_entries.begin() + position);
        releaseEntry(entry);
        return true;
    });
}

bool PopupMenu::removeById(int32_t commandId)
{
    return change([&] {
        size_t index = 0;
        return locateOwn(commandId, index) && removeAt(static_cast<int32_t>(index));
    });
}

bool PopupMenu::removeByData(intptr_t data)
{
    return change([&] {
        int32_t position = -1;
        return indexOfData(data, position) && removeAt(position);
    });
}

// --- lookups ---

bool PopupMenu::locateOwn(int32_t commandId, size_t& index) const
{
    if (commandId < 0)
        return false;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].item && m_entries[i].item->hasCommand(commandId)) {
            index = i;
            return true;
        }
    }
    return false;
}

bool PopupMenu::locate(int32_t commandId, const PopupMenu*& holder, size_t& index) const
{
    // The menu's own items first, then each sub-menu in order, each searched the same way.
    if (locateOwn(commandId, index)) {
        holder = this;
        return true;
    }
    for (const Entry& entry : m_entries) {
        if (entry.subMenu && entry.subMenu->locate(commandId, holder, index))
            return true;
    }
    return false;
}

MenuItem* PopupMenu::findItem(int32_t commandId) const
{
    return inPlace(m_built, [&]() -> MenuItem* {
        const PopupMenu* holder = nullptr;
        size_t index = 0;
        return locate(commandId, holder, index) ? holder->m_entries[index].item : nullptr;
    });
}

bool PopupMenu::hasCommand(int32_t commandId) const
{
    return findItem(commandId) != nullptr;
}

bool PopupMenu::indexOfCommand(int32_t commandId, int32_t& position) const
{
    return inPlace(m_built, [&] {
        size_t index = 0;
        if (!locateOwn(commandId, index))
            return false;
        position = static_cast<int32_t>(index);
        return true;
    });
}

bool PopupMenu::indexOfData(intptr_t data, int32_t& position) const
{
    return inPlace(m_built, [&] {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].item && m_entries[i].item->getData() == data) {
                position = static_cast<int32_t>(i);
                return true;
            }
        }
        return false;
    });
}

MenuItem* PopupMenu::itemAt(int32_t position) const
{
    return inPlace(m_built, [&]() -> MenuItem* {
        if (position < 0 || position >= getCount())
            return nullptr;
        return m_entries[static_cast<size_t>(position)].item;
    });
}

PopupMenu* PopupMenu::subMenuAt(int32_t position) const
{
    return inPlace(m_built, [&]() -> PopupMenu* {
        if (position < 0 || position >= getCount())
            return nullptr;
        return m_entries[static_cast<size_t>(position)].subMenu;
    });
}

// --- states of items ---

bool PopupMenu::updateSubMenu(IPopupMenu* menu, bool enabled)
{
    return change([&] {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].subMenu && m_entries[i].subMenu == menu) {
                m_entries[i].subMenuEnabled = enabled;
                m_entries[i].subMenu->showTitle();
                showEntry(i);
                return true;
            }
        }
        return false;
    });
}

bool PopupMenu::changeItemById(int32_t commandId, const std::function<void(PopupMenu&, MenuItem&)>& f)
{
    return change([&] {
        const PopupMenu* holder = nullptr;
        size_t index = 0;
        if (!locate(commandId, holder, index))
            return false;
        auto* owner = const_cast<PopupMenu*>(holder);
        f(*owner, *owner->m_entries[index].item);
        owner->showEntry(index);
        return true;
    });
}

bool PopupMenu::setItemEnabled(int32_t commandId, bool on)
{
    return changeItemById(commandId, [&](PopupMenu&, MenuItem& item) { item.setEnabled(on); });
}

bool PopupMenu::isItemEnabled(int32_t commandId) const
{
    MenuItem* item = findItem(commandId);
    return item && inPlace(m_built, [&] { return item->isEnabled(); });
}

bool PopupMenu::isItemChecked(int32_t commandId) const
{
    MenuItem* item = findItem(commandId);
    return item && inPlace(m_built, [&] { return item->isChecked(); });
}

bool PopupMenu::setItemChecked(int32_t commandId, bool on)
{
    return changeItemById(commandId, [&](PopupMenu&, MenuItem& item) {
        if (item.isChecked() == on)
            return;
        item.setChecked(on);
        if (!on)
            item.setRadioMarked(false);
    });
}

bool PopupMenu::setItemLabel(int32_t commandId, std::u16string_view text)
{
    return changeItemById(commandId, [&](PopupMenu&, MenuItem& item) { item.setLabel(text); });
}

bool PopupMenu::setItemLabelId(int32_t commandId, int32_t labelId)
{
    return changeItemById(commandId, [&](PopupMenu& holder, MenuItem& item) { item.setLabelId(labelId, holder.localizer()); });
}

// --- languages and titles ---

lang::Localizer* PopupMenu::localizer() const
{
    for (const PopupMenu* menu = this; menu; menu = menu->m_parent) {
        if (menu->m_localizer)
            return menu->m_localizer;
    }
    return nullptr;
}

void PopupMenu::setLocalizer(lang::Localizer* localizer)
{
    if (localizer == m_localizer)
        return;
    subscribe(false);
    m_localizer = localizer;
    subscribe(true);
    relabel();
}

void PopupMenu::subscribe(bool on)
{
    // The language service lives on the GUI thread; so do its listener lists.
    if (on == m_subscribed || !m_localizer)
        return;
    onUiThread([&] {
        if (on)
            m_localizer->addListener(this);
        else
            m_localizer->removeListener(this);
    });
    m_subscribed = on;
}

void PopupMenu::relabel()
{
    change([&] { relabelTree(); });
}

void PopupMenu::relabelTree()
{
    relabelOwn();
    for (Entry& entry : m_entries) {
        if (entry.subMenu)
            entry.subMenu->relabelTree();
    }
}

void PopupMenu::relabelOwn()
{
    lang::Localizer* source = localizer();
    for (Entry& entry : m_entries) {
        if (entry.item)
            entry.item->relabel(source);
    }
    if (m_titleId >= 0 && source)
        m_title.assign(source->text(m_titleId));
    // The labels, and the check and radio marks with them, are shown again.
    showTitle();
    for (size_t i = 0; i < m_entries.size(); ++i)
        showEntry(i);
}

void PopupMenu::languageChanged(lang::Localizer&)
{
    languageChangedTree();
}

void PopupMenu::languageChangedTree()
{
    // Sub-menus that follow a language service of their own relabel themselves.
    relabelOwn();
    for (Entry& entry : m_entries) {
        if (entry.subMenu && !entry.subMenu->m_subscribed)
            entry.subMenu->languageChangedTree();
    }
}

std::u16string PopupMenu::getTitle() const
{
    return inPlace(m_built, [&] { return m_title; });
}

void PopupMenu::setTitleId(int32_t id)
{
    change([&] {
        m_titleId = id < 0 ? -1 : id;
        if (m_titleId >= 0) {
            if (lang::Localizer* source = localizer())
                m_title.assign(source->text(m_titleId));
        }
        showTitle();
    });
}

void PopupMenu::setTitle(std::u16string_view text)
{
    change([&] {
        m_titleId = -1;
        m_title.assign(text);
        showTitle();
    });
}

// --- radio marks ---

bool PopupMenu::setRadioMark(int32_t position, int32_t first, int32_t last)
{
    return change([&] {
        if (first < 0 || first > position || position > last || last >= getCount())
            return false;
        MenuItem* marked = m_entries[static_cast<size_t>(position)].item;
        if (!marked || marked->isSeparator())
            return false;
        // The range keeps its group when it is the same range as before.
        int32_t group = m_entries[static_cast<size_t>(position)].radioGroup;
        for (int32_t i = first; i <= last && group != 0; ++i) {
            const Entry& entry = m_entries[static_cast<size_t>(i)];
            if (entry.item && !entry.item->isSeparator() && entry.radioGroup != group)
                group = 0;
        }
        if (group == 0)
            group = m_nextRadioGroup++;
        for (int32_t i = first; i <= last; ++i) {
            Entry& entry = m_entries[static_cast<size_t>(i)];
            if (!entry.item || entry.item->isSeparator())
                continue;
            entry.radioGroup = group;
            entry.item->setCheckable(true);
            entry.item->setRadioMarked(i == position);
            entry.item->setChecked(i == position);
            showEntry(static_cast<size_t>(i));
        }
        return true;
    });
}

bool PopupMenu::setRadioMarkAt(int32_t position)
{
    // Every item of a range shows an (empty) radio mark here, so the range stops at the separators
    // around the position: an item set apart by a line (the Language menu's "Translate") keeps its
    // own look.
    return change([&] {
        if (position < 0 || position >= getCount())
            return false;
        auto isLine = [&](int32_t i) {
            const Entry& entry = m_entries[static_cast<size_t>(i)];
            return entry.item && entry.item->isSeparator();
        };
        int32_t first = position;
        while (first > 0 && !isLine(first - 1))
            --first;
        int32_t last = position;
        while (last + 1 < getCount() && !isLine(last + 1))
            ++last;
        return setRadioMark(position, first, last);
    });
}

bool PopupMenu::setRadioMarkById(int32_t commandId)
{
    return change([&] {
        const PopupMenu* holder = nullptr;
        size_t index = 0;
        if (!locate(commandId, holder, index))
            return false;
        return const_cast<PopupMenu*>(holder)->setRadioMarkAt(static_cast<int32_t>(index));
    });
}

bool PopupMenu::setRadioMarkByData(intptr_t data)
{
    return change([&] {
        int32_t position = -1;
        return indexOfData(data, position) && setRadioMarkAt(position);
    });
}

// --- commands ---

void PopupMenu::addCommandListener(events::IEventListener* listener)
{
    change([&] { m_commandListeners.add(listener); });
}

void PopupMenu::removeCommandListener(events::IEventListener* listener)
{
    change([&] { m_commandListeners.remove(listener); });
}

void PopupMenu::addOpenListener(events::IEventListener* listener)
{
    change([&] { m_openListeners.add(listener); });
}

void PopupMenu::removeOpenListener(events::IEventListener* listener)
{
    change([&] { m_openListeners.remove(listener); });
}

bool PopupMenu::dispatch(int32_t commandId)
{
    if (commandId < 0)
        return false;
    onUiThread([&] {
        m_lastCommand.store(commandId);
        m_commandListeners.fire(this, CommandChosen);
    });
    return true;
}

PopupMenu* PopupMenu::topMenu()
{
    PopupMenu* top = this;
    while (top->m_parent)
        top = top->m_parent;
    return top;
}

void PopupMenu::actionChosen(QAction* action)
{
    // Qt has flipped the mark of a checkable action (and its radio group has followed); what is
    // shown follows the model, which the application changes when it reads the command.
    for (size_t i = 0; i < m_entries.size(); ++i)
        showEntry(i);
    bool ok = false;
    int32_t commandId = action->data().toInt(&ok);
    if (!ok || commandId < 0)
        return;
    // The command goes to the menu the user opened, once its loop has ended: a listener that opens
    // a window of its own must not run inside the menu.
    PopupMenu* top = topMenu();
    QPointer<PopupMenuWidget> guard = top->m_menu;
    UIThread::instance().post([top, guard, commandId] {
        if (guard && guard->owner() == top)
            top->dispatch(commandId);
    });
}

void PopupMenu::aboutToOpen()
{
    m_openListeners.fire(this, AboutToOpen);
}

// --- showing ---

bool PopupMenu::showAbove(int32_t x, int32_t y, IComponent* owner)
{
    return show(x, y, owner, true);
}

bool PopupMenu::showAt(int32_t x, int32_t y, IComponent* owner)
{
    return show(x, y, owner, false);
}

bool PopupMenu::show(int32_t x, int32_t y, IComponent* owner, bool above)
{
    return onUiThread([&] {
        QMenu* menu = platformMenu();
        if (menu->isVisible())
            return false;
        attachTo(owner);
        QPoint at(x, y);
        if (above)
            at.ry() -= menu->sizeHint().height();
        return menu->exec(at) != nullptr;
    });
}

void PopupMenu::attachTo(IComponent* owner)
{
    // The owner's window is the menu's parent, so the desktop places the menu over it (Wayland
    // places popups only relative to a parent).
    QWidget* ownerWidget = owner ? static_cast<QWidget*>(owner->getNativeHandle()) : nullptr;
    if (!ownerWidget || !m_menu)
        return;
    m_menu->winId();
    QWindow* parentWindow = ownerWidget->window()->windowHandle();
    if (m_menu->windowHandle() && parentWindow)
        m_menu->windowHandle()->setTransientParent(parentWindow);
}

void PopupMenu::close()
{
    if (!isBuilt())
        return;
    onUiThread([&] {
        if (m_menu && m_menu->isVisible())
            m_menu->close();
    });
}

bool PopupMenu::isOpen() const
{
    if (!isBuilt())
        return false;
    return onUiThread([&] { return m_menu && m_menu->isVisible(); });
}

// --- the QMenu ---

QMenu* PopupMenu::platformMenu()
{
    assert(UIThread::instance().isCurrent());
    if (m_parent && !m_parent->isBuilt())
        m_parent->build();
    build();
    return m_menu;
}

void PopupMenu::build()
{
    if (m_menu)
        return;
    m_menu = new PopupMenuWidget(this);
    showTitle();
    for (size_t i = 0; i < m_entries.size(); ++i)
        makeAction(i);
    m_built.store(true);
}

void PopupMenu::makeAction(size_t index)
{
    Entry& entry = m_entries[index];
    if (entry.subMenu) {
        entry.subMenu->build();
        entry.action = entry.subMenu->m_menu->menuAction();
    } else {
        auto* action = new QAction(m_menu);
        action->setSeparator(entry.item->isSeparator());
        PopupMenuWidget* widget = m_menu;
        QObject::connect(action, &QAction::triggered, widget, [widget, action] {
            if (widget->owner())
                widget->owner()->actionChosen(action);
        });
        entry.action = action;
    }
    QAction* before = nullptr;
    for (size_t i = index + 1; i < m_entries.size() && !before; ++i)
        before = m_entries[i].action;
    m_menu->insertAction(before, entry.action);
    showEntry(index);
}

void PopupMenu::showEntry(size_t index)
{
    if (!m_menu)
        return;
    Entry& entry = m_entries[index];
    QAction* action = entry.action;
    if (!action)
        return;
    if (entry.subMenu) {
        action->setEnabled(entry.subMenuEnabled);
        return;
    }
    MenuItem* item = entry.item;
    if (item->isSeparator())
        return;
    action->setText(toQString(item->getLabel()));
    action->setData(item->getCommandId());
    action->setEnabled(item->isEnabled());
    // Marks are set quietly: the radio group must not act on them, the model decides.
    QSignalBlocker quiet(action);
    action->setCheckable(item->isCheckable() || entry.radioGroup != 0);
    action->setActionGroup(entry.radioGroup != 0 ? groupFor(entry.radioGroup) : nullptr);
    action->setChecked(item->isChecked());
}

void PopupMenu::showTitle()
{
    if (m_menu)
        m_menu->setTitle(toQString(m_title));
}

QActionGroup* PopupMenu::groupFor(int32_t radioGroup)
{
    auto it = m_groups.find(radioGroup);
    if (it != m_groups.end())
        return it->second;
    // Drawn as radio marks; which one is marked is the model's business, so the group may be
    // left without a checked action while the model changes.
    auto* group = new QActionGroup(m_menu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    m_groups.emplace(radioGroup, group);
    return group;
}

void PopupMenu::dropPlatformMenu()
{
    if (!m_menu)
        return;
    PopupMenuWidget* menu = m_menu;
    m_menu = nullptr;
    m_built.store(false);
    m_groups.clear();
    for (Entry& entry : m_entries)
        entry.action = nullptr;
    menu->detach();
    // A menu that is open may be inside its own loop: it goes once that loop has ended, and it no
    // longer knows this menu. Any other goes now, so nothing is left for a loop that may be
    // ending with the process.
    if (menu->isVisible()) {
        menu->hide();
        menu->deleteLater();
    } else {
        delete menu;
    }
}

void PopupMenu::reset()
{
    // Nobody hears a menu that goes back to its pool; the language service forgets it.
    m_commandListeners.clear();
    m_openListeners.clear();
    subscribe(false);
    auto releaseAll = [this] {
        std::vector<Entry> entries;
        entries.swap(m_entries);
        for (Entry& entry : entries)
            releaseEntry(entry);
        dropPlatformMenu();
    };
    if (isBuilt())
        onUiThread(releaseAll);
    else
        releaseAll();
    m_parent = nullptr;
    m_title.clear();
    m_titleId = -1;
    m_localizer = nullptr;
    m_subscribed = false;
    m_nextRadioGroup = 1;
    m_lastCommand.store(-1);
}

}
