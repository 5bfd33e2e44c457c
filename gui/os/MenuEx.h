#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/events/ListenerList.h"
#include "gui/os/Bound.h"

#include <QRect>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QMenu;
class QPainter;

namespace s::gui::menuitem {
class MenuItem;
}

namespace s::gui::os {

class PopupMenu;
class MenuBarWidget;

// The menu bar inside the client area: a row of titles, each opening a drop-down (a popup menu) or
// standing for a command of its own. Titles are as wide as their text plus twice the horizontal
// margin and as high as the tallest text plus twice the vertical margin, one after the other from
// the left (in single-entry mode the bar is one button with a drop-down arrow, 15 pixels wider);
// the last title may sit at the right end, marked as a link.
//
// Clicking a title opens its drop-down; clicking while one is open closes it, and a click within
// 500 ms after a drop-down closed (the very click that closed it) does not open it again. While a
// drop-down is open, moving to another title switches to that title's drop-down. A command title
// dispatches on release. Presses outside the titles go on to the window, so a window with easy
// drag moves when its bar is dragged.
//
// Events (sender = the bar): command listeners hear 0 and read getLastCommand (every command of
// the drop-downs and of the command titles comes here); language listeners hear 0 after the
// titles were set again; open listeners hear 1 just before a drop-down opens.
//
// The bar owns its command items; its popup menus stay the application's (release the bar first).
// Before the bar is created it can be filled on any thread; afterwards changes hop to the GUI
// thread.
class MenuEx final : public Bound<Component> {
    S_POOLED_CLASS(MenuEx, "s_gui_os_MenuEx")
public:
    static constexpr int32_t CommandChosen = 0;
    static constexpr int32_t TitlesRelabelled = 0;
    static constexpr int32_t AboutToOpen = 1;
    static constexpr int64_t ReopenGuardMs = 500;
    static constexpr int32_t ArrowWidth = 15;
    // The colour of the marked last title.
    static constexpr uint32_t MarkColour = 0xCC0000; // RGB(0, 0, 204)

    MenuEx() = default;
    ~MenuEx() override;

    // --- sizes: a fixed size wins over a percentage of the parent's inner size ---
    void setWidthPercent(int32_t percent);
    void setHeightPercent(int32_t percent);
    void setFixedWidth(int32_t w);
    void setFixedHeight(int32_t h);
    void setInsetLeft(int32_t p);
    void setInsetRight(int32_t p);
    void setInsetTop(int32_t p);
    void setInsetBottom(int32_t p);
    void setInsetHorizontal(int32_t p);
    void setInsetVertical(int32_t p);
    void setTitleMargins(int32_t horizontal, int32_t vertical);

    // --- entries ---
    // A title that is a command of its own (the bar owns the item).
    void addCommandEntry(menuitem::MenuItem* item);
    // A title that opens the menu as its drop-down.
    void addMenuEntry(PopupMenu* menu);
    int32_t getEntryCount() const;
    std::u16string getTitle(int32_t index) const;
    // The title's rectangle within the bar (empty when the bar shows no such title).
    QRect getTitleRect(int32_t index) const;
    // The title under a point of the bar, or -1.
    int32_t titleAt(int32_t x, int32_t y) const;

    // --- commands ---
    // In a command title or, deep, in a drop-down.
    bool hasCommand(int32_t commandId) const;
    bool isItemChecked(int32_t commandId) const;
    bool setItemChecked(int32_t commandId, bool on);
    int32_t getLastCommand() const { return m_lastCommand.load(); }
    void addCommandListener(events::IEventListener* listener);
    // Stores the id and tells the command listeners (code 0); ids below 0 are not dispatched.
    bool dispatch(int32_t commandId);
    void addLanguageListener(events::IEventListener* listener);
    void addOpenListener(events::IEventListener* listener);

    // --- looks and behaviour ---
    void setOpenOnHover(bool on);
    void setBoldTitles(bool on);
    // Sets every title again from its text id (command items) or its menu's title id.
    void relabel();
    // The last title at the right end of the bar, drawn as a marked link.
    void setLastRightAligned(bool on);
    bool isLastRightAligned() const { return m_lastRightAligned; }
    // The whole bar is one button that opens the first entry's drop-down.
    void setSingleEntry(bool on);
    bool isSingleEntry() const { return m_singleEntry; }

    // --- state ---
    int32_t getHoverIndex() const { return m_hover; }
    int32_t getOpenIndex() const { return m_openIndex; }
    bool isDropDownOpen() const { return m_openIndex >= 0; }
    // A monotonic clock in milliseconds for the reopen guard (tests give their own).
    void setClock(std::function<int64_t()> clock);

    // --- Component ---
    int32_t getMinWidth() const override;
    int32_t getMinHeight() const override;
    int32_t getMaxWidth() const override;
    int32_t getMaxHeight() const override;
    // Language service (0), font setting, and the commands of the drop-downs.
    void handle(base::IObject* sender, int32_t code) override;
    void reset() override;

    // --- what the widget reports (GUI thread); positions within the bar ---
    void pointerMoved(int32_t x, int32_t y);
    void pointerLeft();
    // True when the press was taken (over a title).
    bool pressed(int32_t x, int32_t y);
    void released(int32_t x, int32_t y);
    void paint(QPainter& painter);
    // The pointer moved while a drop-down had it (screen coordinates).
    void pointerMovedOverDropDown(int32_t screenX, int32_t screenY);

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void fontChanged() override;
    void boundsChanged() override;

private:
    struct Entry {
        menuitem::MenuItem* item { nullptr };
        PopupMenu* menu { nullptr };
        std::u16string title;
        QRect rect;
    };

    template<class F>
    auto change(F&& f);
    template<class F>
    auto read(F&& f) const;
    void titlesChanged();
    void placeTitles();
    std::u16string titleOf(const Entry& entry) const;
    FontDescription titleFont() const;
    void openDropDown(int32_t index);
    void closeDropDown();
    void dropDownClosed(QMenu* menu);
    int64_t now() const;
    int32_t percentOfParent(bool horizontal, int32_t percent) const;

    std::vector<Entry> m_entries;
    int32_t m_marginX { 6 };
    int32_t m_marginY { 3 };
    int32_t m_left { 0 };
    int32_t m_right { 0 };
    int32_t m_top { 0 };
    int32_t m_bottom { 0 };
    int32_t m_widthPercent { -1 };
    int32_t m_heightPercent { -1 };
    int32_t m_fixedWidth { -1 };
    int32_t m_fixedHeight { -1 };
    // Measured titles: their total width and common height.
    int32_t m_titlesWidth { 0 };
    int32_t m_titleHeight { 0 };
    bool m_openOnHover { false };
    bool m_lastRightAligned { false };
    bool m_singleEntry { false };
    int32_t m_hover { -1 };
    int32_t m_pressedIndex { -1 };
    int32_t m_openIndex { -1 };
    // The title whose drop-down opens once the open one has closed (a switch).
    int32_t m_nextIndex { -1 };
    int64_t m_lastClosedAt { 0 };
    bool m_everClosed { false };
    QMenu* m_openMenu { nullptr };
    std::function<int64_t()> m_clock;
    std::atomic<int32_t> m_lastCommand { -1 };
    events::ListenerList m_commandListeners;
    events::ListenerList m_languageListeners;
    events::ListenerList m_openListeners;
};

// The QWidget of a menu bar.
class MenuBarWidget : public QWidget {
public:
    MenuBarWidget(MenuEx* bar, QWidget* parent);
    void detach() { m_bar = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MenuEx* m_bar;
};

}
