#include "gui/os/Window.h"

#include "formats/lang/Localizer.h"
#include "gui/FontSetting.h"
#include "gui/layout/Vertical.h"
#include "gui/menu/IPopupMenu.h"
#include "gui/os/ContextMenu.h"
#include "gui/os/FrameWidget.h"
#include "gui/os/MessageBoxW.h"
#include "gui/os/PopupMenu.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QSessionManager>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace s::gui::os {

namespace {

// Trimming the working set is serialised process-wide.
std::mutex g_trimLock;

void trimWorkingSet()
{
    std::lock_guard lock(g_trimLock);
    malloc_trim(0);
}

QRect virtualScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry() : QRect(0, 0, 0, 0);
}

QRect availableArea()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
}

}

Window::Window()
    : m_timers([this](int32_t id) { timerFired(id); })
    , m_clipboard([this](bool own) { clipboardChanged(own); })
    , m_tray([this] { trayLeftClick(); }, [this] { trayRightClick(); })
{
}

Window::~Window()
{
    if (m_created)
        reset();
}

thread::Pooled<Window> Window::make()
{
    thread::Pooled<Window> window;
    window->open();
    return window;
}

void Window::open()
{
    onUiThread([&] {
        if (m_created)
            return;
        m_window = this;
        m_transparent = false;
        m_background = ButtonFaceColour;
        m_layoutManager = &layout::Vertical::shared();
        m_widget = makeWidget(nullptr);
        m_created = true;
        m_closed = false;
        nextGeneration();
        m_gone = false;
        applyTitle();
        m_widget->resize(240, 120);
        m_width = 240;
        m_height = 120;
        m_x = m_widget->geometry().x();
        m_y = m_widget->geometry().y();
        m_geometry.noteNormal(QRect(m_x, m_y, m_width, m_height));
        m_visible = false;
        afterCreate();
        // The session ends: the application can tell, and the window closes as if asked to.
        m_sessionConnection = QObject::connect(qApp, &QGuiApplication::commitDataRequest, m_widget, [this](QSessionManager&) {
            m_sessionEnding = true;
            doClose(false);
        });
    });
}

bool Window::create(IContainer* parent)
{
    // A window has no parent: create(null) destroys its frame, anything else makes it.
    if (parent)
        return false;
    if (m_created)
        reset();
    return true;
}

FrameWidget* Window::frame() const
{
    return static_cast<FrameWidget*>(m_widget.data());
}

QWidget* Window::makeWidget(QWidget*)
{
    return new FrameWidget(this);
}

void Window::platformPlace(int32_t x, int32_t y, int32_t w, int32_t h)
{
    // The window's position is that of its frame, as the frame reports it back.
    onUiThread([&] {
        if (m_widget && m_widget->geometry() != QRect(x, y, w, h))
            m_widget->setGeometry(x, y, w, h);
        if (frameIsNormal())
            m_geometry.noteNormal(QRect(x, y, w, h));
    });
}

void Window::setBounds(int32_t x, int32_t y, int32_t w, int32_t h)
{
    onUiThread([&] {
        // A position the program chose is kept when the window shows (unless it is off screen).
        if (x != m_x || y != m_y)
            m_geometry.setPositionGiven(true);
        BoxBase::setBounds(x, y, w, h);
    });
}

void Window::platformShow(bool on)
{
    doShow(on, on);
}

// --- request channel ---

void Window::nextGeneration()
{
    static std::atomic<uint64_t> next { 1 };
    m_generation = next.fetch_add(1);
}

intptr_t Window::sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t a3)
{
    return deliverRequest(nullptr, name, a1, a2, a3);
}

intptr_t Window::sendRequestTo(uint64_t generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3)
{
    return deliverRequest(&generation, name, a1, a2, a3);
}

intptr_t Window::deliverRequest(const uint64_t* generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3)
{
    if (m_gone.load() || (generation && *generation != m_generation.load()))
        return 0;
    return onUiThread([&]() -> intptr_t {
        // Checked again where the window changes hands: it may have been released meanwhile.
        if (m_gone.load() || (generation && *generation != m_generation.load()))
            return 0;
        // A listener may send a request of its own: the outer record comes back afterwards.
        RequestRecord outer = m_request;
        m_request = { name, a1, a2, a3, 0 };
        m_listeners[Request].fire(this, Request);
        intptr_t result = m_request.result;
        m_request = outer;
        return result;
    });
}

const char* Window::getRequestName() const
{
    S_ASSERT_GUI_THREAD();
    return m_request.name;
}

intptr_t Window::getRequestArg1() const
{
    S_ASSERT_GUI_THREAD();
    return m_request.a1;
}

intptr_t Window::getRequestArg2() const
{
    S_ASSERT_GUI_THREAD();
    return m_request.a2;
}

intptr_t Window::getRequestArg3() const
{
    S_ASSERT_GUI_THREAD();
    return m_request.a3;
}

void Window::setRequestResult(intptr_t result)
{
    S_ASSERT_GUI_THREAD();
    m_request.result = result;
}

bool Window::fire(int32_t code)
{
    S_ASSERT_GUI_THREAD();
    if (code <= 0 || code >= EventCount)
        return false;
    m_listeners[code].fire(this, code);
    return true;
}

void Window::addListener(int32_t code, events::IEventListener* listener)
{
    if (code > 0 && code < EventCount)
        m_listeners[code].add(listener);
}

void Window::removeListener(int32_t code, events::IEventListener* listener)
{
    if (code > 0 && code < EventCount)
        m_listeners[code].remove(listener);
}

// --- language ---

bool Window::lookUpText(int32_t id, std::u16string& out)
{
    return onUiThread([&] {
        if (!m_localizer || id < 0)
            return false;
        out.assign(m_localizer->text(id));
        return true;
    });
}

void Window::setLocalizer(lang::Localizer* localizer)
{
    onUiThread([&] {
        if (localizer == m_localizer)
            return;
        if (m_localizer)
            m_localizer->removeListener(this);
        m_localizer = localizer;
        if (m_localizer) {
            m_localizer->addListener(this);
            languageChanged(*m_localizer);
        }
    });
}

lang::Localizer* Window::getLocalizer() const
{
    return onUiThread([&] { return m_localizer; });
}

FontSetting* Window::getFontSetting()
{
    return onUiThread([&] { return m_fontSettingAttached; });
}

void Window::setFontSetting(FontSetting* setting)
{
    onUiThread([&] { m_fontSettingAttached = setting; });
}

void Window::languageChanged(lang::Localizer&)
{
    S_ASSERT_GUI_THREAD();
    // Components with text ids relabel themselves; then the title, then the application hears.
    m_languageListeners.fire(m_localizer, 0);
    applyTitle();
    fire(LanguageChanged);
}

// --- title ---

std::u16string Window::getTitle() const
{
    return onUiThread([&] { return m_title; });
}

void Window::setTitle(std::u16string_view text)
{
    onUiThread([&] {
        if (text == m_title && m_titleId < 0)
            return;
        m_title.assign(text);
        m_titleId = -1;
        m_versionId = -1;
        applyTitle();
    });
}

void Window::setTitleId(int32_t titleId, int32_t versionId)
{
    onUiThread([&] {
        m_titleId = titleId;
        m_versionId = versionId;
        applyTitle();
    });
}

void Window::applyTitle()
{
    if (m_titleId >= 0 && m_localizer) {
        std::u16string title(m_localizer->text(m_titleId));
        if (m_versionId >= 0) {
            title += u" v";
            title += m_localizer->text(m_versionId);
        }
        m_title = title;
    }
    if (m_widget)
        m_widget->setWindowTitle(toQString(m_title));
    m_tray.setTip(toQString(m_title));
}

// --- closing ---

void Window::close()
{
    onUiThread([&] { doClose(false); });
}

void Window::cancelClose()
{
    onUiThread([&] { m_closeCancelled = true; });
}

void Window::frameCloseRequested()
{
    doClose(true);
}

void Window::doClose(bool systemCommand)
{
    if (m_closed || !m_widget)
        return;
    // 1. The frame's close button sends the window to the tray when asked to.
    if (systemCommand && m_closeToTray && !m_inTray) {
        doSendToTray();
        return;
    }
    // 2. A listener may keep the window open.
    m_closeCancelled = false;
    fire(CloseRequested);
    if (m_closeCancelled) {
        m_closeCancelled = false;
        return;
    }
    // 3. Hidden, out of the clipboard watch, without a tray icon, closed.
    saveGeometry(false);
    m_widget->hide();
    m_visible = false;
    doWatchClipboard(false);
    m_tray.show(false);
    m_inTray = false;
    m_closed = true;
}

void Window::waitUntilClosed()
{
    if (!UIThread::instance().isCurrent()) {
        while (!m_closed.load())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return;
    }
    // On the GUI thread itself (a program that runs its controller there) the wait is a nested
    // loop that keeps the window alive.
    ModalScope scope(this);
    while (!m_closed.load()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// --- states ---

bool Window::isShown() const
{
    return onUiThread([&] { return m_widget && m_widget->isVisible(); });
}

bool Window::isActive() const
{
    return onUiThread([&] { return m_active; });
}

void Window::activate(bool on)
{
    if (!on)
        return;
    onUiThread([&] { doActivate(); });
}

void Window::doActivate()
{
    if (!m_widget)
        return;
    m_widget->raise();
    m_widget->activateWindow();
}

bool Window::isMinimized() const
{
    return onUiThread([&] { return m_widget && m_widget->isMinimized(); });
}

void Window::minimize()
{
    // The state change writes the geometry (frameStateChanged).
    onUiThread([&] {
        if (m_widget)
            m_widget->showMinimized();
    });
}

bool Window::isMaximized() const
{
    return onUiThread([&] { return m_widget && m_widget->isMaximized(); });
}

void Window::maximize()
{
    onUiThread([&] {
        if (m_widget)
            m_widget->showMaximized();
    });
}

void Window::restore()
{
    onUiThread([&] { doRestore(); });
}

void Window::doRestore()
{
    if (!m_widget)
        return;
    if (!m_inTray) {
        m_widget->showNormal();
        return;
    }
    m_inTray = false;
    if (m_wasMaximized)
        m_widget->showMaximized();
    else
        m_widget->showNormal();
    m_visible = true;
    doActivate();
    if (!m_trayAlways)
        m_tray.show(false);
}

void Window::showNormal()
{
    onUiThread([&] {
        if (m_widget)
            m_widget->showNormal();
    });
}

void Window::sendToTray()
{
    onUiThread([&] { doSendToTray(); });
}

void Window::doSendToTray()
{
    if (!m_widget || m_inTray)
        return;
    m_wasMaximized = m_widget->isMaximized();
    saveGeometry(false);
    m_widget->hide();
    m_visible = false;
    m_tray.show(true);
    m_inTray = true;
}

bool Window::isInTray() const
{
    return onUiThread([&] { return m_inTray; });
}

bool Window::frameIsNormal() const
{
    return m_widget && !(m_widget->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void Window::frameResized(int32_t w, int32_t h)
{
    // The user (or the platform) resized the frame: the new size is the window's, and the
    // children follow.
    if (frameIsNormal())
        m_geometry.noteNormal(QRect(m_geometry.normal().topLeft(), QSize(w, h)));
    if (w != m_width || h != m_height) {
        m_width = w;
        m_height = h;
        doLayout();
        m_moveListeners.fire(this, MovedOrResized);
    }
    fire(Resized);
}

void Window::frameMoved(int32_t x, int32_t y)
{
    if (frameIsNormal())
        m_geometry.noteNormal(QRect(QPoint(x, y), m_geometry.normal().size()));
    m_x = x;
    m_y = y;
    fire(Moved);
}

void Window::frameActivation(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (!active)
        m_deactivatedAt = QDateTime::currentMSecsSinceEpoch();
    fire(active ? Activated : Deactivated);
}

void Window::frameStateChanged()
{
    if (!m_widget)
        return;
    Qt::WindowStates state = m_widget->windowState();
    // Minimising and maximising write the normal geometry, which the frame no longer shows.
    if (state & Qt::WindowMinimized) {
        m_geometry.save(m_wasMaximized);
    } else if (state & Qt::WindowMaximized) {
        m_wasMaximized = true;
        m_geometry.save(true);
    } else {
        m_wasMaximized = false;
        m_geometry.save(false);
        fire(Restored);
    }
}

void Window::frameKeyPressed(int32_t code)
{
    m_keyCode = code;
    fire(KeyPressed);
}

void Window::frameWheel(int32_t step)
{
    m_windowWheelStep = step;
    fire(Wheel);
}

void Window::framePointerReleased(int32_t screenX, int32_t screenY)
{
    if (!m_capturing)
        return;
    m_capturing = false;
    if (m_widget)
        m_widget->releaseMouse();
    m_captureX = screenX;
    m_captureY = screenY;
    fire(CaptureEnded);
}

int32_t Window::getKeyCode() const
{
    return onUiThread([&] { return m_keyCode; });
}

void Window::setKeyCode(int32_t code)
{
    onUiThread([&] { m_keyCode = code; });
}

int32_t Window::getWheelStep() const
{
    return onUiThread([&] { return m_windowWheelStep; });
}

void Window::startPointerCapture()
{
    onUiThread([&] {
        if (!m_widget)
            return;
        m_capturing = true;
        m_widget->grabMouse();
    });
}

bool Window::isCapturingPointer() const
{
    return onUiThread([&] { return m_capturing; });
}

int32_t Window::getCaptureX() const
{
    return onUiThread([&] { return m_captureX; });
}

int32_t Window::getCaptureY() const
{
    return onUiThread([&] { return m_captureY; });
}

// --- frame ---

void Window::setEasyDrag(bool on)
{
    onUiThread([&] { m_easyDrag = on; });
}

bool Window::isEasyDrag() const
{
    return onUiThread([&] { return m_easyDrag; });
}

void Window::setMaximizeBox(bool on)
{
    onUiThread([&] {
        if (m_widget)
            m_widget->setWindowFlag(Qt::WindowMaximizeButtonHint, on);
    });
}

void Window::setMinimizeBox(bool on)
{
    onUiThread([&] {
        if (m_widget)
            m_widget->setWindowFlag(Qt::WindowMinimizeButtonHint, on);
    });
}

void Window::setShowInTaskbar(bool on)
{
    onUiThread([&] {
        if (on == m_showInTaskbar)
            return;
        m_showInTaskbar = on;
        if (!m_widget)
            return;
        bool visible = m_widget->isVisible();
        m_widget->setWindowFlag(Qt::Tool, !on);
        if (visible)
            m_widget->show();
    });
}

bool Window::isResizable() const
{
    return onUiThread([&] { return m_resizable; });
}

void Window::setResizable(bool on)
{
    onUiThread([&] {
        if (on == m_resizable)
            return;
        m_resizable = on;
        if (!m_widget)
            return;
        if (on) {
            m_widget->setMinimumSize(m_enforceMinimum ? QSize(std::max(0, m_minWindowWidth), std::max(0, m_minWindowHeight)) : QSize(0, 0));
            m_widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        } else {
            m_widget->setFixedSize(m_widget->size());
        }
    });
}

void Window::setTopmost(bool on)
{
    onUiThread([&] {
        if (on == m_topmost)
            return;
        m_topmost = on;
        if (m_widget) {
            bool visible = m_widget->isVisible();
            m_widget->setWindowFlag(Qt::WindowStaysOnTopHint, on);
            if (visible)
                m_widget->show();
        }
        // Changing the flags remakes the platform window, which forgets its opacity.
        int32_t percent = m_opacity;
        m_opacity = -1;
        doSetOpacity(percent);
        if (IWindowSettings* store = m_geometry.store())
            store->writeValue(IWindowSettings::Topmost, on ? 1 : 0);
    });
}

bool Window::isTopmost() const
{
    return onUiThread([&] { return m_topmost; });
}

bool Window::setIconData(std::span<const uint8_t> bytes)
{
    return onUiThread([&] {
        QPixmap picture;
        if (!m_widget || !picture.loadFromData(bytes.data(), static_cast<uint>(bytes.size())))
            return false;
        QIcon icon(picture);
        m_widget->setWindowIcon(icon);
        m_tray.setIcon(icon);
        return true;
    });
}

bool Window::hasIcon() const
{
    return onUiThread([&] { return m_widget && !m_widget->windowIcon().isNull(); });
}

// --- tray ---

void Window::setTrayIcon(bool on)
{
    onUiThread([&] {
        if (!m_widget)
            return;
        if (on && m_tray.isShown())
            return;
        if (on && !m_widget->windowIcon().isNull())
            m_tray.setIcon(m_widget->windowIcon());
        m_tray.show(on);
    });
}

bool Window::isTrayIconShown() const
{
    return onUiThread([&] { return m_tray.isShown(); });
}

void Window::setTrayIconAlways(bool on)
{
    onUiThread([&] {
        m_trayAlways = on;
        if (on)
            setTrayIcon(true);
    });
}

void Window::setCloseToTray(bool on)
{
    onUiThread([&] { m_closeToTray = on; });
}

void Window::setTrayClickToggles(bool on)
{
    onUiThread([&] { m_trayClickToggles = on; });
}

void Window::trayLeftClick()
{
    onUiThread([&] {
        if (!m_widget)
            return;
        if (m_trayClickToggles) {
            int64_t sinceDeactivation = QDateTime::currentMSecsSinceEpoch() - m_deactivatedAt;
            if (m_inTray) {
                doRestore();
            } else if (m_active || sinceDeactivation <= 150) {
                // The click itself took the focus from an active window: it goes to the tray.
                doSendToTray();
            } else {
                doActivate();
                if (m_widget->isMinimized())
                    m_widget->showNormal();
            }
        } else if (m_inTray) {
            doRestore();
        } else {
            doActivate();
            if (m_widget->isMinimized())
                m_widget->showNormal();
        }
        fire(TrayLeftClick);
    });
}

void Window::trayRightClick()
{
    onUiThread([&] {
        // With a tray menu, code 18 comes as the menu opens (the shell may open it without a
        // click reaching the program).
        if (!m_trayMenu)
            fire(TrayRightClick);
        if (m_widget && m_widget->isVisible())
            m_widget->raise();
    });
}

// --- attachments ---

void Window::setContextMenu(menu::IPopupMenu* menu)
{
    onUiThread([&] { m_contextMenu = menu; });
}

void Window::setTrayMenu(menu::IPopupMenu* menu)
{
    onUiThread([&] {
        if (menu == m_trayMenu)
            return;
        if (m_trayMenu)
            m_trayMenu->removeOpenListener(this);
        m_trayMenu = menu;
        auto* popup = dynamic_cast<PopupMenu*>(menu);
        m_tray.setMenu(popup ? popup->platformMenu() : nullptr);
        if (m_trayMenu)
            m_trayMenu->addOpenListener(this);
    });
}

void Window::frameRightPressed(int32_t screenX, int32_t screenY)
{
    if (m_contextMenu)
        openContextMenu(m_contextMenu, screenX, screenY, this, [this] { fire(ContextMenu); });
}

void Window::handle(base::IObject* sender, int32_t code)
{
    if (m_trayMenu && sender == m_trayMenu) {
        if (code == menu::IPopupMenu::AboutToOpen)
            fire(TrayRightClick);
        return;
    }
    BoxBase::handle(sender, code);
}

void Window::setStatusBar(IComponent* bar)
{
    onUiThread([&] {
        if (bar == m_statusBar)
            return;
        if (m_statusBar)
            remove(m_statusBar, true);
        m_statusBar = bar;
        if (bar && m_children.find(bar) < 0)
            add(bar);
        doLayout();
    });
}

IComponent* Window::getStatusBar() const
{
    return onUiThread([&] { return m_statusBar; });
}

void Window::layoutChildren()
{
    // The manager (the shared column by default) places every child, the status bar among them;
    // then the bar goes over the bottom across the whole client width, whatever the insets.
    BoxBase::layoutChildren();
    if (m_statusBar && m_statusBar->isVisible()) {
        int32_t h = m_statusBar->getHeight();
        m_statusBar->setBounds(-m_left, m_height - h - m_top, m_width, h);
    }
}

// --- minimum size ---

void Window::setMinimumWidth(int32_t w)
{
    onUiThread([&] {
        m_minWindowWidth = w;
        BoxBase::setMinimumWidth(w);
        if (m_enforceMinimum)
            enforceMinimumSize(true);
    });
}

void Window::setMinimumHeight(int32_t h)
{
    onUiThread([&] {
        m_minWindowHeight = h;
        if (m_enforceMinimum)
            enforceMinimumSize(true);
    });
}

void Window::enforceMinimumSize(bool on)
{
    onUiThread([&] {
        m_enforceMinimum = on;
        if (!m_widget)
            return;
        // While the user drags an edge, the platform keeps the frame at least this large.
        m_widget->setMinimumSize(on ? std::max(0, m_minWindowWidth) : 0, on ? std::max(0, m_minWindowHeight) : 0);
    });
}

void Window::applyMinimumSize()
{
    onUiThread([&] { setSize(std::max(m_width, m_minWindowWidth), std::max(m_height, m_minWindowHeight)); });
}

// --- settings ---

void Window::bindSettings(IWindowSettings* store, bool withVersion)
{
    onUiThread([&] {
        m_geometry.bind(store);
        m_skin.setSettings(store);
        if (!store)
            return;
        if (std::span<const uint8_t> icon = store->getIconData(); !icon.empty())
            setIconData(icon);
        if (lang::Localizer* localizer = store->getLocalizer())
            setLocalizer(localizer);
        int32_t titleId = store->getTitleId();
        if (titleId >= 0)
            setTitleId(titleId, withVersion ? titleId + 10 : -1);
        if (FontSetting* setting = store->getFontSetting())
            setFontSetting(setting);
        int32_t value = 0;
        if (store->readValue(IWindowSettings::EasyDrag, value))
            setEasyDrag(value != 0);
        if (store->readValue(IWindowSettings::Topmost, value))
            setTopmost(value != 0);
        setMiddleClickAction(store->getMiddleClickAction());
        int32_t x = 0;
        int32_t y = 0;
        int32_t w = 0;
        int32_t h = 0;
        bool hasPosition = store->readValue(IWindowSettings::X, x) && store->readValue(IWindowSettings::Y, y);
        bool hasSize = store->readValue(IWindowSettings::Width, w) && store->readValue(IWindowSettings::Height, h);
        if (hasSize)
            setSize(w, h);
        if (hasPosition) {
            setLocation(x, y);
            m_geometry.setPositionGiven(true);
        }
    });
}

void Window::saveGeometry(bool includeHidden)
{
    onUiThread([&] {
        if (!m_geometry.store() || !m_widget)
            return;
        if (!m_widget->isVisible() && !includeHidden && !m_widget->isMinimized())
            return;
        m_geometry.save(m_widget->isMaximized() || (m_widget->isMinimized() && m_wasMaximized));
    });
}

// --- screen ---

bool Window::isOnScreen() const
{
    return onUiThread([&] { return m_geometry.isOnScreen(QRect(m_x, m_y, m_width, m_height), virtualScreen()); });
}

void Window::clampToScreen()
{
    onUiThread([&] {
        if (m_widget && m_widget->isMaximized())
            return;
        QPoint p = WindowGeometry::clampedInto(QRect(m_x, m_y, m_width, m_height), virtualScreen());
        if (p.x() != m_x || p.y() != m_y)
            setLocation(p.x(), p.y());
    });
}

void Window::setKeepOnScreen(bool on)
{
    onUiThread([&] { m_geometry.setKeepOnScreen(on); });
}

void Window::centreOnScreen()
{
    QPoint p = WindowGeometry::centredIn(QSize(m_width, m_height), availableArea());
    BoxBase::setBounds(p.x(), p.y(), m_width, m_height);
}

void Window::show(bool on, bool activateIt)
{
    onUiThread([&] { doShow(on, activateIt); });
}

void Window::doShow(bool on, bool activateIt)
{
    if (!m_created || !m_widget)
        return;
    if (on) {
        // 1. Showing.
        if (m_widget->isVisible())
            return;
        bool maximizeNow = false;
        if (!m_widget->isMaximized()) {
            if (m_geometry.storedMaximized())
                maximizeNow = true;
            else if (m_geometry.keepsOnScreen()
                && (!m_geometry.isPositionGiven() || !m_geometry.isOnScreen(QRect(m_x, m_y, m_width, m_height), virtualScreen())))
                centreOnScreen();
        }
        if (maximizeNow)
            m_widget->showMaximized();
        else
            m_widget->show();
        m_visible = true;
        m_closed = false;
        if (activateIt)
            doActivate();
        m_widget->update();
    } else {
        // 2. Hiding.
        saveGeometry(false);
        m_widget->hide();
        m_visible = false;
    }
    // 3.
    trimWorkingSet();
}

void Window::setMiddleClickAction(std::string_view name)
{
    onUiThread([&] {
        if (name == "Close" || name == "Iconize")
            m_middleClickAction.assign(name);
        else
            m_middleClickAction = "DoNothing";
    });
}

std::string Window::getMiddleClickAction() const
{
    return onUiThread([&] { return m_middleClickAction; });
}

void Window::middleClick()
{
    if (m_middleClickAction == "Close")
        doClose(false);
    else if (m_middleClickAction == "Iconize")
        doSendToTray();
}

void Window::setOpacity(int32_t percent)
{
    onUiThread([&] { doSetOpacity(percent); });
}

void Window::doSetOpacity(int32_t percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_opacity)
        return;
    m_opacity = percent;
    m_alpha = std::clamp(percent * 255 / 100, 0, 255);
    if (m_widget)
        m_widget->setWindowOpacity(m_alpha / 255.0);
}

int32_t Window::getOpacity() const
{
    return onUiThread([&] { return m_opacity; });
}

int32_t Window::getOpacityAlpha() const
{
    return onUiThread([&] { return m_alpha; });
}

// --- timers ---

void Window::startTimer(int32_t id, int32_t milliseconds)
{
    onUiThread([&] {
        if (m_widget)
            m_timers.start(id, milliseconds);
    });
}

void Window::stopTimer(int32_t id)
{
    onUiThread([&] { m_timers.stop(id); });
}

void Window::timerFired(int32_t id)
{
    m_timerId = id;
    m_timerHandled = false;
    fire(Timer);
}

int32_t Window::getTimerId() const
{
    return onUiThread([&] { return m_timerId; });
}

void Window::markTimerHandled()
{
    onUiThread([&] { m_timerHandled = true; });
}

bool Window::isTimerHandled() const
{
    return onUiThread([&] { return m_timerHandled; });
}

// --- clipboard ---

void Window::watchClipboard(bool on)
{
    onUiThread([&] { doWatchClipboard(on); });
}

void Window::doWatchClipboard(bool on)
{
    if (m_widget)
        m_clipboard.watch(m_widget, on);
}

bool Window::isWatchingClipboard() const
{
    return onUiThread([&] { return m_clipboard.isWatching(); });
}

void Window::clipboardChanged(bool own)
{
    m_ownClipboardChange = own;
    fire(ClipboardChanged);
    m_ownClipboardChange = false;
}

bool Window::isOwnClipboardChange() const
{
    return onUiThread([&] { return m_ownClipboardChange; });
}

void Window::setClipboardText(std::u16string_view text)
{
    onUiThread([&] { m_clipboard.setText(toQString(text)); });
}

std::u16string Window::getClipboardText() const
{
    return onUiThread([&] { return fromQString(m_clipboard.text()); });
}

// --- message boxes ---

void Window::showInfo(std::u16string_view text)
{
    MessageBoxW::info(text, this);
}

void Window::showError(std::u16string_view text)
{
    MessageBoxW::error(text, this);
}

bool Window::ask(std::u16string_view text)
{
    return MessageBoxW::askYesNo(text, this);
}

// --- nested loops ---

Window::ModalScope::ModalScope(Window* window)
    : m_window(window)
    , m_generation(window ? window->generation() : 0)
{
    S_ASSERT_GUI_THREAD();
    if (m_window)
        ++m_window->m_modalDepth;
}

Window::ModalScope::~ModalScope()
{
    // A window that changed hands while the loop ran has nothing of this loop any more.
    if (m_window && m_window->generation() == m_generation)
        m_window->endModal();
}

void Window::endModal()
{
    if (--m_modalDepth > 0 || !m_teardownPending)
        return;
    // The loop has returned: the teardown that waited for it runs once the code that opened the
    // loop is done too, back in the GUI thread's own loop.
    uint64_t generation = m_generation.load();
    UIThread::instance().post([this, generation] {
        if (m_generation.load() != generation || !m_teardownPending)
            return;
        teardown();
        std::lock_guard lock(m_teardownLock);
        m_teardownPending = false;
        m_teardownDone.notify_all();
    });
}

void Window::endModalLoops()
{
    m_closed = true;
    if (!m_widget)
        return;
    for (QDialog* dialog : m_widget->findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        if (dialog->isVisible())
            dialog->reject();
    }
}

// --- lifetime ---

void Window::teardown()
{
    S_ASSERT_GUI_THREAD();
    m_gone = true;
    nextGeneration();
    // Nobody hears the window being taken apart.
    for (auto& list : m_listeners)
        list.clear();
    m_languageListeners.clear();
    clearListeners();
    m_timers.stopAll();
    doWatchClipboard(false);
    QObject::disconnect(m_sessionConnection);
    if (m_localizer)
        m_localizer->removeListener(this);
    if (m_capturing && m_widget)
        m_widget->releaseMouse();
    // Components first, while the frame they live in still stands; then the box state (which
    // must not try to destroy the frame again), then the frame.
    m_statusBar = nullptr;
    removeAll(true);
    m_created = false;
    BoxBase::reset();
    // The menus are the application's and may outlive the window.
    if (m_trayMenu)
        m_trayMenu->removeOpenListener(this);
    m_trayMenu = nullptr;
    m_contextMenu = nullptr;
    m_tray.destroy();
    if (FrameWidget* f = frame())
        f->detach();
    QWidget* w = m_widget.data();
    m_widget.clear();
    delete w;
    m_closed = true;
}

void Window::reset()
{
    if (m_created) {
        m_gone = true;
        if (UIThread::instance().isCurrent()) {
            if (m_modalDepth > 0) {
                // The GUI thread cannot wait for loops that run below it on its own stack: the
                // dialogs leave the frame (so they outlive it) and are answered with a refusal.
                endModalLoops();
                for (QDialog* dialog : m_widget ? m_widget->findChildren<QDialog*>(Qt::FindDirectChildrenOnly) : QList<QDialog*>())
                    dialog->setParent(nullptr, dialog->windowFlags());
            }
            teardown();
        } else {
            bool deferred = onUiThread([&] {
                if (m_modalDepth == 0) {
                    teardown();
                    return false;
                }
                m_teardownPending = true;
                endModalLoops();
                return true;
            });
            if (deferred) {
                std::unique_lock lock(m_teardownLock);
                while (m_teardownPending && !UIThread::instance().hasEnded())
                    m_teardownDone.wait_for(lock, std::chrono::milliseconds(50));
            }
        }
    } else {
        BoxBase::reset();
    }
    static_cast<WindowState&>(*this) = WindowState {};
    m_geometry = WindowGeometry {};
    m_skin.reset();
    m_sessionEnding = false;
    m_closed = true;
    m_transparent = false;
    m_window = nullptr;
}

void Window::setSkinner(drawer::Skinner* skinner)
{
    onUiThread([&] { m_skin.setSkinner(skinner); });
}

void Window::chooseSkin(std::u16string_view wanted, IWindowSettings* settings)
{
    onUiThread([&] { m_skin.chooseSkin(wanted, settings); });
}

void Window::setWindowDrawer(drawer::window::Thin* drawer, bool own)
{
    onUiThread([&] { m_skin.setWindowDrawer(drawer, own); });
}

}
