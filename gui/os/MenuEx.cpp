#include "gui/os/MenuEx.h"

#include "formats/lang/Localizer.h"
#include "gui/FontSetting.h"
#include "gui/IContainer.h"
#include "gui/IWindow.h"
#include "gui/menu/MenuItem.h"
#include "gui/os/PopupMenu.h"
#include "gui/os/UIThread.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

#include <algorithm>
#include <cassert>
#include <chrono>

namespace s::gui::os {

using menuitem::MenuItem;

namespace {

constexpr int32_t Unlimited = 1 << 20;

int64_t steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}

MenuEx::~MenuEx() = default;

// Before the bar exists changes run here; afterwards on the GUI thread, where the bar lives.
template<class F>
auto MenuEx::change(F&& f)
{
    if (m_created)
        return onUiThread(std::forward<F>(f));
    return f();
}

template<class F>
auto MenuEx::read(F&& f) const
{
    if (m_created)
        return onUiThread(std::forward<F>(f));
    return f();
}

// --- sizes ---

void MenuEx::setWidthPercent(int32_t percent)
{
    change([&] {
        m_widthPercent = percent < 0 ? -1 : percent;
        askParentToLayout();
    });
}

void MenuEx::setHeightPercent(int32_t percent)
{
    change([&] {
        m_heightPercent = percent < 0 ? -1 : percent;
        askParentToLayout();
    });
}

void MenuEx::setFixedWidth(int32_t w)
{
    change([&] {
        m_fixedWidth = w < 0 ? -1 : w;
        askParentToLayout();
    });
}

void MenuEx::setFixedHeight(int32_t h)
{
    change([&] {
        m_fixedHeight = h < 0 ? -1 : h;
        askParentToLayout();
    });
}

void MenuEx::setInsetLeft(int32_t p)
{
    change([&] {
        m_left = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setInsetRight(int32_t p)
{
    change([&] {
        m_right = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setInsetTop(int32_t p)
{
    change([&] {
        m_top = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setInsetBottom(int32_t p)
{
    change([&] {
        m_bottom = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setInsetHorizontal(int32_t p)
{
    change([&] {
        m_left = m_right = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setInsetVertical(int32_t p)
{
    change([&] {
        m_top = m_bottom = std::max(0, p);
        titlesChanged();
    });
}

void MenuEx::setTitleMargins(int32_t horizontal, int32_t vertical)
{
    change([&] {
        if (horizontal == m_marginX && vertical == m_marginY)
            return;
        m_marginX = std::max(0, horizontal);
        m_marginY = std::max(0, vertical);
        titlesChanged();
    });
}

int32_t MenuEx::percentOfParent(bool horizontal, int32_t percent) const
{
    if (!m_parent)
        return -1;
    int32_t inner = horizontal ? m_parent->getInnerWidth() : m_parent->getInnerHeight();
    return static_cast<int32_t>((static_cast<int64_t>(inner) * percent + 50) / 100);
}

int32_t MenuEx::getMinWidth() const
{
    if (m_fixedWidth >= 0)
        return m_fixedWidth;
    return m_left + m_titlesWidth + m_right;
}

int32_t MenuEx::getMinHeight() const
{
    if (m_fixedHeight >= 0)
        return m_fixedHeight;
    return m_top + m_titleHeight + m_bottom;
}

int32_t MenuEx::getMaxWidth() const
{
    if (m_fixedWidth >= 0)
        return m_fixedWidth;
    if (m_widthPercent >= 0)
        return std::max(getMinWidth(), percentOfParent(true, m_widthPercent));
    // A bar spans its row.
    return Unlimited;
}

int32_t MenuEx::getMaxHeight() const
{
    if (m_fixedHeight >= 0)
        return m_fixedHeight;
    if (m_heightPercent >= 0)
        return std::max(getMinHeight(), percentOfParent(false, m_heightPercent));
    return getMinHeight();
}

// --- entries and titles ---

void MenuEx::addCommandEntry(MenuItem* item)
{
    assert(item);
    change([&] {
        Entry entry;
        entry.item = item;
        entry.title = titleOf(entry);
        m_entries.push_back(std::move(entry));
        titlesChanged();
    });
}

void MenuEx::addMenuEntry(PopupMenu* menu)
{
    assert(menu);
    // The drop-down's commands (those of its sub-menus too) come here.
    menu->addCommandListener(this);
    change([&] {
        Entry entry;
        entry.menu = menu;
        entry.title = titleOf(entry);
        m_entries.push_back(std::move(entry));
        titlesChanged();
    });
}

int32_t MenuEx::getEntryCount() const
{
    return read([&] { return static_cast<int32_t>(m_entries.size()); });
}

std::u16string MenuEx::getTitle(int32_t index) const
{
    return read([&] {
        if (index < 0 || index >= static_cast<int32_t>(m_entries.size()))
            return std::u16string();
        return m_entries[static_cast<size_t>(index)].title;
    });
}

QRect MenuEx::getTitleRect(int32_t index) const
{
    return read([&] {
        if (index < 0 || index >= static_cast<int32_t>(m_entries.size()))
            return QRect();
        return m_entries[static_cast<size_t>(index)].rect;
    });
}

int32_t MenuEx::titleAt(int32_t x, int32_t y) const
{
    if (m_singleEntry)
        return !m_entries.empty() && QRect(0, 0, m_width, m_height).contains(x, y) ? 0 : -1;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].rect.contains(x, y))
            return static_cast<int32_t>(i);
    }
    return -1;
}

std::u16string MenuEx::titleOf(const Entry& entry) const
{
    if (entry.item)
        return entry.item->getLabel();
    std::u16string text;
    if (entry.menu->getTitleId() >= 0 && m_window && m_window->lookUpText(entry.menu->getTitleId(), text))
        return text;
    return entry.menu->getTitle();
}

FontDescription MenuEx::titleFont() const
{
    return m_font;
}

void MenuEx::titlesChanged()
{
    // 1. Measure: each title its text plus the margins, all as high as the tallest.
    FontDescription font = titleFont();
    int32_t total = 0;
    int32_t textHeight = 0;
    std::vector<int32_t> widths;
    onUiThread([&] {
        QFontMetrics metrics(toQFont(font));
        textHeight = metrics.height();
        for (const Entry& entry : m_entries)
            widths.push_back(metrics.horizontalAdvance(toQString(entry.title)) + 2 * m_marginX);
    });
    if (m_singleEntry && !widths.empty()) {
        widths.resize(1);
        widths[0] += ArrowWidth;
    }
    for (int32_t w : widths)
        total += w;
    m_titlesWidth = total;
    m_titleHeight = m_entries.empty() ? 0 : textHeight + 2 * m_marginY;
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].rect = i < widths.size() ? QRect(0, 0, widths[i], m_titleHeight) : QRect();
    // 2. Place them, then let the container lay out with the new size.
    placeTitles();
    askParentToLayout();
    repaint();
}

void MenuEx::placeTitles()
{
    int32_t x = m_left;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        QRect& r = m_entries[i].rect;
        if (r.isNull())
            continue;
        bool last = i + 1 == m_entries.size();
        int32_t left = x;
        // The right-aligned last title never overlaps the titles before it.
        if (last && m_lastRightAligned && !m_singleEntry)
            left = std::max(x, m_width - m_right - r.width());
        r.moveTo(left, m_top);
        x += r.width();
    }
}

void MenuEx::boundsChanged()
{
    placeTitles();
}

void MenuEx::fontChanged()
{
    Bound<Component>::fontChanged();
    titlesChanged();
}

void MenuEx::relabel()
{
    change([&] {
        for (Entry& entry : m_entries) {
            if (entry.item)
                entry.item->relabel(nullptr);
            entry.title = titleOf(entry);
        }
        m_languageListeners.fire(this, TitlesRelabelled);
        titlesChanged();
    });
}

void MenuEx::setOpenOnHover(bool on)
{
    change([&] { m_openOnHover = on; });
}

void MenuEx::setBoldTitles(bool on)
{
    setBold(on);
}

void MenuEx::setLastRightAligned(bool on)
{
    change([&] {
        if (on == m_lastRightAligned)
            return;
        m_lastRightAligned = on;
        placeTitles();
        repaint();
    });
}

void MenuEx::setSingleEntry(bool on)
{
    change([&] {
        if (on == m_singleEntry)
            return;
        m_singleEntry = on;
        titlesChanged();
    });
}

void MenuEx::setClock(std::function<int64_t()> clock)
{
    change([&] { m_clock = std::move(clock); });
}

int64_t MenuEx::now() const
{
    return m_clock ? m_clock() : steadyMilliseconds();
}

// --- commands ---

bool MenuEx::hasCommand(int32_t commandId) const
{
    if (commandId < 0)
        return false;
    return read([&] {
        for (const Entry& entry : m_entries) {
            if (entry.item ? entry.item->hasCommand(commandId) : entry.menu->hasCommand(commandId))
                return true;
        }
        return false;
    });
}

bool MenuEx::isItemChecked(int32_t commandId) const
{
    return read([&] {
        for (const Entry& entry : m_entries) {
            if (entry.item && entry.item->hasCommand(commandId))
                return entry.item->isChecked();
            if (entry.menu && entry.menu->hasCommand(commandId))
                return entry.menu->isItemChecked(commandId);
        }
        return false;
    });
}

bool MenuEx::setItemChecked(int32_t commandId, bool on)
{
    return change([&] {
        for (Entry& entry : m_entries) {
            if (entry.item && entry.item->hasCommand(commandId)) {
                entry.item->setChecked(on);
                repaint();
                return true;
            }
            if (entry.menu && entry.menu->hasCommand(commandId))
                return entry.menu->setItemChecked(commandId, on);
        }
        return false;
    });
}

void MenuEx::addCommandListener(events::IEventListener* listener)
{
    change([&] { m_commandListeners.add(listener); });
}

void MenuEx::addLanguageListener(events::IEventListener* listener)
{
    change([&] { m_languageListeners.add(listener); });
}

void MenuEx::addOpenListener(events::IEventListener* listener)
{
    change([&] { m_openListeners.add(listener); });
}

bool MenuEx::dispatch(int32_t commandId)
{
    if (commandId < 0)
        return false;
    onUiThread([&] {
        m_lastCommand.store(commandId);
        m_commandListeners.fire(this, CommandChosen);
    });
    return true;
}

void MenuEx::handle(base::IObject* sender, int32_t code)
{
    for (const Entry& entry : m_entries) {
        if (entry.menu && sender == entry.menu) {
            if (code == PopupMenu::CommandChosen)
                dispatch(entry.menu->getLastCommand());
            return;
        }
    }
    Component::handle(sender, code);
    if (code == 0 && (!m_fontSetting || sender != m_fontSetting))
        relabel();
}

// --- the mouse ---

void MenuEx::pointerMoved(int32_t x, int32_t y)
{
    int32_t index = titleAt(x, y);
    if (m_openIndex >= 0)
        return;
    if (index != m_hover) {
        m_hover = index;
        repaint();
    }
    if (index >= 0 && m_openOnHover && m_entries[static_cast<size_t>(index)].menu) {
        bool guarded = m_everClosed && now() - m_lastClosedAt < ReopenGuardMs;
        if (!guarded)
            openDropDown(index);
    }
}

void MenuEx::pointerLeft()
{
    if (m_openIndex >= 0 || m_pressedIndex >= 0 || m_hover < 0)
        return;
    m_hover = -1;
    repaint();
}

bool MenuEx::pressed(int32_t x, int32_t y)
{
    int32_t index = titleAt(x, y);
    if (index < 0)
        return false;
    // 1. A click while a drop-down is open closes it.
    if (m_openIndex >= 0) {
        closeDropDown();
        return true;
    }
    Entry& entry = m_entries[static_cast<size_t>(index)];
    if (entry.item) {
        m_pressedIndex = index;
        m_hover = index;
        repaint();
        return true;
    }
    // 2. Otherwise it opens the title's drop-down, unless one closed just now: the click that
    //    closed it must not open it again.
    if (m_everClosed && now() - m_lastClosedAt < ReopenGuardMs)
        return true;
    openDropDown(index);
    return true;
}

void MenuEx::released(int32_t x, int32_t y)
{
    if (m_pressedIndex < 0)
        return;
    int32_t index = std::exchange(m_pressedIndex, -1);
    int32_t at = titleAt(x, y);
    m_hover = -1;
    repaint();
    if (at == index)
        dispatch(m_entries[static_cast<size_t>(index)].item->getCommandId());
}

void MenuEx::pointerMovedOverDropDown(int32_t screenX, int32_t screenY)
{
    if (m_openIndex < 0 || !m_widget)
        return;
    QPoint local = m_widget->mapFromGlobal(QPoint(screenX, screenY));
    int32_t index = titleAt(local.x(), local.y());
    if (index < 0 || index == m_openIndex || !m_entries[static_cast<size_t>(index)].menu)
        return;
    // The switch runs after the drop-down's own event has been handled: it is closed now and the
    // next one opens once it is gone.
    m_nextIndex = index;
    QMetaObject::invokeMethod(m_widget.data(), [this] { closeDropDown(); }, Qt::QueuedConnection);
}

void MenuEx::openDropDown(int32_t index)
{
    Entry& entry = m_entries[static_cast<size_t>(index)];
    if (!entry.menu || !m_widget)
        return;
    QMenu* menu = entry.menu->platformMenu();
    // 1. Under the title's bottom-left corner; a right-aligned last title's under its right part.
    QRect title = m_singleEntry ? QRect(0, 0, m_width, m_height) : entry.rect;
    QPoint at = m_widget->mapToGlobal(title.bottomLeft() + QPoint(0, 1));
    bool last = index + 1 == static_cast<int32_t>(m_entries.size());
    if (last && m_lastRightAligned && !m_singleEntry)
        at.setX(m_widget->mapToGlobal(title.topRight()).x() + 1 - menu->sizeHint().width());
    // 2. The open listeners hear first, then the drop-down opens and the bar follows it.
    m_openListeners.fire(this, AboutToOpen);
    m_openIndex = index;
    m_hover = index;
    m_openMenu = menu;
    menu->installEventFilter(m_widget.data());
    QObject::connect(menu, &QMenu::aboutToHide, m_widget.data(), [this, menu] { dropDownClosed(menu); }, Qt::SingleShotConnection);
    menu->popup(at);
    repaint();
}

void MenuEx::closeDropDown()
{
    if (m_openMenu)
        m_openMenu->close();
}

void MenuEx::dropDownClosed(QMenu* menu)
{
    if (menu != m_openMenu)
        return;
    if (m_widget)
        menu->removeEventFilter(m_widget.data());
    m_openMenu = nullptr;
    m_openIndex = -1;
    m_lastClosedAt = now();
    m_everClosed = true;
    int32_t next = std::exchange(m_nextIndex, -1);
    QPoint pointer = m_widget ? m_widget->mapFromGlobal(QCursor::pos()) : QPoint(-1, -1);
    m_hover = titleAt(pointer.x(), pointer.y());
    repaint();
    if (next >= 0 && m_widget)
        QMetaObject::invokeMethod(m_widget.data(), [this, next] {
            if (m_openIndex < 0 && next < static_cast<int32_t>(m_entries.size()))
                openDropDown(next);
        }, Qt::QueuedConnection);
}

// --- painting ---

void MenuEx::paint(QPainter& painter)
{
    QFont font = toQFont(titleFont());
    painter.setFont(font);
    const QPalette& palette = m_widget->palette();
    if (m_singleEntry) {
        // One button: the first title and a drop-down arrow.
        if (m_entries.empty())
            return;
        QRect r(0, 0, m_width, m_height);
        bool hot = m_hover == 0 || m_openIndex == 0;
        painter.fillRect(r, hot ? palette.color(QPalette::Midlight) : palette.color(QPalette::Button));
        painter.setPen(palette.color(QPalette::Mid));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        painter.setPen(palette.color(QPalette::ButtonText));
        QRect text = r.adjusted(m_marginX, 0, -(m_marginX + ArrowWidth), 0);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, toQString(m_entries[0].title));
        int32_t cx = r.right() - m_marginX - ArrowWidth / 2;
        int32_t cy = r.center().y();
        painter.setBrush(palette.color(QPalette::ButtonText));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygon({ QPoint(cx - 4, cy - 2), QPoint(cx + 4, cy - 2), QPoint(cx, cy + 2) }));
        return;
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& entry = m_entries[i];
        int32_t index = static_cast<int32_t>(i);
        bool open = index == m_openIndex;
        bool hot = open || index == m_hover;
        bool marked = m_lastRightAligned && i + 1 == m_entries.size();
        QRect r = entry.rect;
        QColor text = palette.color(QPalette::WindowText);
        if (marked) {
            // The marked last title is a link: blue, underlined while open or pointed at.
            text = toQColor(MarkColour);
            QFont linkFont = font;
            linkFont.setUnderline(hot);
            painter.setFont(linkFont);
        } else if (hot) {
            painter.fillRect(r, palette.color(QPalette::Highlight));
            text = palette.color(QPalette::HighlightedText);
        }
        // A pressed command title shifts its text one pixel down and right.
        QRect textRect = r.adjusted(m_marginX, m_marginY, -m_marginX, -m_marginY);
        if (index == m_pressedIndex)
            textRect.translate(1, 1);
        painter.setPen(text);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, toQString(entry.title));
        painter.setFont(font);
    }
}

// --- the widget ---

QWidget* MenuEx::makeWidget(QWidget* parent)
{
    return new MenuBarWidget(this, parent);
}

MenuBarWidget::MenuBarWidget(MenuEx* bar, QWidget* parent)
    : QWidget(parent)
    , m_bar(bar)
{
    setMouseTracking(true);
}

void MenuBarWidget::paintEvent(QPaintEvent*)
{
    if (!m_bar)
        return;
    QPainter painter(this);
    m_bar->paint(painter);
}

void MenuBarWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bar)
        m_bar->pointerMoved(event->position().toPoint().x(), event->position().toPoint().y());
    event->ignore();
}

void MenuBarWidget::mousePressEvent(QMouseEvent* event)
{
    QPoint at = event->position().toPoint();
    // Presses outside the titles go on to the window (easy drag, its own right-click menu).
    if (!m_bar || event->button() != Qt::LeftButton || !m_bar->pressed(at.x(), at.y())) {
        event->ignore();
        return;
    }
    event->accept();
}

void MenuBarWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QPoint at = event->position().toPoint();
    if (m_bar && event->button() == Qt::LeftButton)
        m_bar->released(at.x(), at.y());
    event->ignore();
}

void MenuBarWidget::leaveEvent(QEvent*)
{
    if (m_bar)
        m_bar->pointerLeft();
}

bool MenuBarWidget::eventFilter(QObject*, QEvent* event)
{
    // The open drop-down has the mouse: its moves tell the bar when the pointer is over another
    // title.
    if (m_bar && event->type() == QEvent::MouseMove) {
        QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        m_bar->pointerMovedOverDropDown(global.x(), global.y());
    }
    return false;
}

// --- reset ---

void MenuEx::reset()
{
    // The drop-downs are the application's: they forget the bar, which no longer hears anything.
    m_commandListeners.clear();
    m_languageListeners.clear();
    m_openListeners.clear();
    for (Entry& entry : m_entries) {
        if (entry.menu)
            entry.menu->removeCommandListener(this);
    }
    if (m_openMenu) {
        onUiThread([&] {
            if (m_widget)
                m_openMenu->removeEventFilter(m_widget.data());
            m_openMenu->close();
        });
        m_openMenu = nullptr;
    }
    if (auto* widget = dynamic_cast<MenuBarWidget*>(m_widget.data()))
        onUiThread([&] { widget->detach(); });
    Component::reset();
    for (Entry& entry : m_entries) {
        if (entry.item)
            entry.item->release();
    }
    m_entries.clear();
    m_marginX = 6;
    m_marginY = 3;
    m_left = m_right = m_top = m_bottom = 0;
    m_widthPercent = m_heightPercent = -1;
    m_fixedWidth = m_fixedHeight = -1;
    m_titlesWidth = m_titleHeight = 0;
    m_openOnHover = m_lastRightAligned = m_singleEntry = false;
    m_hover = m_pressedIndex = m_openIndex = m_nextIndex = -1;
    m_lastClosedAt = 0;
    m_everClosed = false;
    m_clock = nullptr;
    m_lastCommand.store(-1);
}

}
