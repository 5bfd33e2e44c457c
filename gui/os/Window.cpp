#include "gui/os/Window.h"

#include "formats/lang/Localizer.h"
#include "gui/FontSetting.h"
#include "gui/os/FrameWidget.h"
#include "gui/os/MessageBoxW.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QIcon>
#include <QPixmap>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTimer>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <mutex>
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
    if (m_created)
        return;
    onUiThread([&] {
        m_window = this;
        m_transparent = false;
        m_background = ButtonFaceColour;
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
        m_visible = false;
        afterCreate();
        if (m_statusBar)
            m_statusBar->create(this);
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
    // The window's position is that of its client area, as the frame reports it back.
    onUiThread([&] {
        if (m_widget && m_widget->geometry() != QRect(x, y, w, h))
            m_widget->setGeometry(x, y, w, h);
    });
}

void Window::setBounds(int32_t x, int32_t y, int32_t w, int32_t h)
{
    // A position the program chose is kept when the window shows (unless it is off screen).
    if (x != m_x || y != m_y)
        m_positionGiven = true;
    BoxBase::setBounds(x, y, w, h);
}

void Window::platformShow(bool on)
{
    show(on, on);
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

bool Window::fire(int32_t code)
{
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
    if (!m_localizer || id < 0)
        return false;
    out.assign(m_localizer->text(id));
    return true;
}

void Window::setLocalizer(lang::Localizer* localizer)
{
    if (localizer == m_localizer)
        return;
    onUiThread([&] {
        if (m_localizer)
            m_localizer->removeListener(this);
        m_localizer = localizer;
        if (m_localizer) {
            m_localizer->addListener(this);
            languageChanged(*m_localizer);
        }
    });
}

void Window::languageChanged(lang::Localizer&)
{
    // Components with text ids relabel themselves; then the title, then the application hears.
    m_languageListeners.fire(m_localizer, 0);
    applyTitle();
    fire(LanguageChanged);
}

// --- title ---

std::u16string Window::getTitle() const
{
    return m_title;
}

void Window::setTitle(std::u16string_view text)
{
    if (text == m_title && m_titleId < 0)
        return;
    m_title.assign(text);
    m_titleId = -1;
    m_versionId = -1;
    applyTitle();
}

void Window::setTitleId(int32_t titleId, int32_t versionId)
{
    m_titleId = titleId;
    m_versionId = versionId;
    applyTitle();
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
    onUiThread([&] {
        if (m_widget)
            m_widget->setWindowTitle(toQString(m_title));
        updateTrayTip();
    });
}

// --- closing ---

void Window::close()
{
    onUiThread([&] { doClose(false); });
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
        sendToTray();
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
    watchClipboard(false);
    if (m_tray) {
        m_tray->hide();
        m_trayShown = false;
    }
    m_inTray = false;
    m_closed = true;
}

void Window::waitUntilClosed() const
{
    // On the GUI thread itself (a program that runs its controller there) the wait must keep
    // the window alive, so it handles events between the polls.
    bool onGuiThread = UIThread::instance().isCurrent();
    while (!m_closed.load()) {
        if (onGuiThread)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// --- states ---

bool Window::isShown() const
{
    return onUiThread([&] { return m_widget && m_widget->isVisible(); });
}

void Window::activate(bool on)
{
    if (!on)
        return;
    onUiThread([&] {
        if (!m_widget)
            return;
        m_widget->raise();
        m_widget->activateWindow();
    });
}

bool Window::isMinimized() const
{
    return onUiThread([&] { return m_widget && m_widget->isMinimized(); });
}

void Window::minimize()
{
    onUiThread([&] {
        if (m_widget)
            m_widget->showMinimized();
    });
    saveGeometry(false);
}

bool Window::isMaximized() const
{
    return onUiThread([&] { return m_widget && m_widget->isMaximized(); });
}

void Window::maximize()
{
    saveGeometry(false);
    onUiThread([&] {
        if (m_widget)
            m_widget->showMaximized();
    });
    if (m_settings)
        m_settings->writeValue(IWindowSettings::Maximized, 1);
}

void Window::restore()
{
    onUiThread([&] {
        if (!m_widget)
            return;
        if (m_inTray) {
            m_inTray = false;
            if (m_wasMaximized)
                m_widget->showMaximized();
            else
                m_widget->showNormal();
            m_visible = true;
            m_widget->raise();
            m_widget->activateWindow();
            if (m_tray && !m_trayAlways) {
                m_tray->hide();
                m_trayShown = false;
            }
            return;
        }
        m_widget->showNormal();
    });
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
    onUiThread([&] {
        if (!m_widget || m_inTray)
            return;
        m_wasMaximized = m_widget->isMaximized();
        saveGeometry(false);
        m_widget->hide();
        m_visible = false;
        ensureTray();
        m_tray->show();
        m_trayShown = true;
        m_inTray = true;
    });
}

void Window::frameResized(int32_t w, int32_t h)
{
    // The user (or the platform) resized the frame: the new size is the window's, and the
    // children follow.
    if (w != m_width || h != m_height) {
        m_width = w;
        m_height = h;
        doLayout();
        m_moveListeners.fire(this, 4);
    }
    fire(Resized);
}

void Window::frameMoved(int32_t x, int32_t y)
{
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
    if (state & Qt::WindowMaximized) {
        m_wasMaximized = true;
        if (m_settings)
            m_settings->writeValue(IWindowSettings::Maximized, 1);
    } else if (!(state & Qt::WindowMinimized)) {
        m_wasMaximized = false;
        if (m_settings)
            m_settings->writeValue(IWindowSettings::Maximized, 0);
        fire(Restored);
    }
}

// --- frame ---

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
    if (on == m_showInTaskbar)
        return;
    m_showInTaskbar = on;
    onUiThread([&] {
        if (!m_widget)
            return;
        bool visible = m_widget->isVisible();
        m_widget->setWindowFlag(Qt::Tool, !on);
        if (visible)
            m_widget->show();
    });
}

void Window::setResizable(bool on)
{
    if (on == m_resizable)
        return;
    m_resizable = on;
    onUiThread([&] {
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
    if (on == m_topmost)
        return;
    m_topmost = on;
    onUiThread([&] {
        if (!m_widget)
            return;
        bool visible = m_widget->isVisible();
        m_widget->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (visible)
            m_widget->show();
    });
    // Changing the flags remakes the platform window, which forgets its opacity.
    int32_t percent = m_opacity;
    m_opacity = -1;
    setOpacity(percent);
    if (m_settings)
        m_settings->writeValue(IWindowSettings::Topmost, on ? 1 : 0);
}

bool Window::setIconData(std::span<const uint8_t> bytes)
{
    return onUiThread([&] {
        QPixmap picture;
        if (!m_widget || !picture.loadFromData(bytes.data(), static_cast<uint>(bytes.size())))
            return false;
        QIcon icon(picture);
        m_widget->setWindowIcon(icon);
        if (m_tray)
            m_tray->setIcon(icon);
        return true;
    });
}

bool Window::hasIcon() const
{
    return onUiThread([&] { return m_widget && !m_widget->windowIcon().isNull(); });
}

// --- tray ---

void Window::ensureTray()
{
    if (m_tray)
        return;
    m_tray = new QSystemTrayIcon(m_widget);
    QIcon icon = m_widget->windowIcon();
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
    m_tray->setIcon(icon);
    m_tray->setToolTip(toQString(m_title));
    QObject::connect(m_tray, &QSystemTrayIcon::activated, m_widget, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            trayLeftClick();
        else if (reason == QSystemTrayIcon::Context)
            trayRightClick();
    });
}

void Window::updateTrayTip()
{
    if (m_tray)
        m_tray->setToolTip(toQString(m_title));
}

void Window::setTrayIcon(bool on)
{
    onUiThread([&] {
        if (!m_widget)
            return;
        if (on) {
            ensureTray();
            m_tray->show();
        } else if (m_tray) {
            m_tray->hide();
        }
        m_trayShown = on;
    });
}

void Window::setTrayIconAlways(bool on)
{
    m_trayAlways = on;
    if (on)
        setTrayIcon(true);
}

void Window::trayLeftClick()
{
    onUiThread([&] {
        if (!m_widget)
            return;
        if (m_trayClickToggles) {
            int64_t sinceDeactivation = QDateTime::currentMSecsSinceEpoch() - m_deactivatedAt;
            if (m_inTray) {
                restore();
            } else if (m_active || sinceDeactivation <= 150) {
                // The click itself took the focus from an active window: it goes to the tray.
                sendToTray();
            } else {
                activate(true);
                if (m_widget->isMinimized())
                    m_widget->showNormal();
            }
        } else if (m_inTray) {
            restore();
        } else {
            activate(true);
            if (m_widget->isMinimized())
                m_widget->showNormal();
        }
        fire(TrayLeftClick);
    });
}

void Window::trayRightClick()
{
    onUiThread([&] {
        fire(TrayRightClick);
        if (m_widget && m_widget->isVisible())
            m_widget->raise();
    });
}

// --- attachments ---

void Window::setStatusBar(IComponent* bar)
{
    if (bar == m_statusBar)
        return;
    if (m_statusBar) {
        m_statusBar->create(nullptr);
        m_statusBar->release();
    }
    m_statusBar = bar;
    if (m_statusBar && m_created)
        m_statusBar->create(this);
    doLayout();
}

void Window::layoutChildren()
{
    // The status bar keeps the bottom: the other children lay out above it.
    int32_t reserve = 0;
    if (m_statusBar && m_statusBar->isVisible()) {
        m_statusBar->resizeConstrained(m_width, 0);
        reserve = m_statusBar->getHeight();
    }
    m_bottom += reserve;
    BoxBase::layoutChildren();
    m_bottom -= reserve;
    if (reserve > 0)
        m_statusBar->setBounds(0, m_height - reserve, m_width, reserve);
}

// --- minimum size ---

void Window::setMinimumWidth(int32_t w)
{
    m_minWindowWidth = w;
    BoxBase::setMinimumWidth(w);
    if (m_enforceMinimum)
        enforceMinimumSize(true);
}

void Window::setMinimumHeight(int32_t h)
{
    m_minWindowHeight = h;
    if (m_enforceMinimum)
        enforceMinimumSize(true);
}

void Window::enforceMinimumSize(bool on)
{
    m_enforceMinimum = on;
    onUiThread([&] {
        if (!m_widget)
            return;
        // While the user drags an edge, the platform keeps the frame at least this large.
        m_widget->setMinimumSize(on ? std::max(0, m_minWindowWidth) : 0, on ? std::max(0, m_minWindowHeight) : 0);
    });
}

void Window::applyMinimumSize()
{
    int32_t w = std::max(m_width, m_minWindowWidth);
    int32_t h = std::max(m_height, m_minWindowHeight);
    setSize(w, h);
}

// --- settings ---

void Window::bindSettings(IWindowSettings* store, bool withVersion)
{
    m_settings = store;
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
        m_positionGiven = true;
    }
}

void Window::saveGeometry(bool includeHidden)
{
    if (!m_settings || !m_widget)
        return;
    bool write = onUiThread([&] {
        if (!m_widget->isVisible() && !includeHidden)
            return false;
        return !m_widget->isMinimized() && !m_widget->isMaximized();
    });
    if (!write)
        return;
    auto store = [this](IWindowSettings::Value which, int32_t value) {
        int32_t stored = 0;
        if (!m_settings->readValue(which, stored) || stored != value)
            m_settings->writeValue(which, value);
    };
    store(IWindowSettings::X, m_x);
    store(IWindowSettings::Y, m_y);
    store(IWindowSettings::Width, m_width);
    store(IWindowSettings::Height, m_height);
    store(IWindowSettings::Maximized, 0);
}

// --- screen ---

bool Window::isOnScreen() const
{
    if (!m_keepOnScreen)
        return true;
    if (m_width <= 10 || m_height <= 10)
        return false;
    QRect screen = onUiThread([] { return virtualScreen(); });
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    // Fewer than 10 pixels on the screen in either direction is off screen.
    if (m_x > right - 10 || m_x + m_width - screen.x() <= 9)
        return false;
    if (m_y > bottom - 10 || m_y + m_height - screen.y() <= 9)
        return false;
    return true;
}

void Window::clampToScreen()
{
    if (isMaximized())
        return;
    QRect screen = onUiThread([] { return virtualScreen(); });
    int32_t x = m_x;
    int32_t y = m_y;
    int32_t right = screen.x() + screen.width();
    int32_t bottom = screen.y() + screen.height();
    if (x + m_width > right)
        x = right - m_width;
    if (y + m_height > bottom)
        y = bottom - m_height;
    x = std::max<int32_t>(x, screen.x());
    y = std::max<int32_t>(y, screen.y());
    if (x != m_x || y != m_y)
        setLocation(x, y);
}

void Window::centreOnScreen()
{
    QRect area = onUiThread([] {
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
    });
    setLocation(area.x() + (area.width() - m_width) / 2, area.y() + (area.height() - m_height) / 2);
}

void Window::show(bool on, bool activateIt)
{
    if (!m_created)
        return;
    if (on) {
        // 1. Showing.
        if (isShown())
            return;
        bool maximizeNow = false;
        int32_t stored = 0;
        if (!isMaximized()) {
            if (m_settings && m_settings->readValue(IWindowSettings::Maximized, stored) && stored != 0)
                maximizeNow = true;
            else if (m_keepOnScreen && (!m_positionGiven || !isOnScreen()))
                centreOnScreen();
        }
        onUiThread([&] {
            if (!m_widget)
                return;
            if (maximizeNow)
                m_widget->showMaximized();
            else
                m_widget->show();
            m_visible = true;
            m_closed = false;
            if (activateIt) {
                m_widget->raise();
                m_widget->activateWindow();
            }
            m_widget->update();
        });
    } else {
        // 2. Hiding.
        saveGeometry(false);
        onUiThread([&] {
            if (m_widget)
                m_widget->hide();
            m_visible = false;
        });
    }
    // 3.
    trimWorkingSet();
}

void Window::setMiddleClickAction(std::string_view name)
{
    if (name == "Close" || name == "Iconize")
        m_middleClickAction.assign(name);
    else
        m_middleClickAction = "DoNothing";
}

void Window::middleClick()
{
    if (m_middleClickAction == "Close")
        doClose(false);
    else if (m_middleClickAction == "Iconize")
        sendToTray();
}

void Window::setOpacity(int32_t percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_opacity)
        return;
    m_opacity = percent;
    m_alpha = std::clamp(percent * 255 / 100, 0, 255);
    onUiThread([&] {
        if (m_widget)
            m_widget->setWindowOpacity(m_alpha / 255.0);
    });
}

// --- timers ---

void Window::startTimer(int32_t id, int32_t milliseconds)
{
    onUiThread([&] {
        if (!m_widget)
            return;
        stopTimer(id);
        auto* timer = new QTimer(m_widget);
        timer->setInterval(std::max(0, milliseconds));
        QObject::connect(timer, &QTimer::timeout, m_widget, [this, id] {
            m_timerId = id;
            m_timerHandled = false;
            fire(Timer);
        });
        m_timers[id] = timer;
        timer->start();
    });
}

void Window::stopTimer(int32_t id)
{
    onUiThread([&] {
        auto it = m_timers.find(id);
        if (it == m_timers.end())
            return;
        delete it->second;
        m_timers.erase(it);
    });
}

// --- clipboard ---

void Window::watchClipboard(bool on)
{
    onUiThread([&] {
        if (on == m_watchingClipboard || !m_widget)
            return;
        m_watchingClipboard = on;
        if (on) {
            m_clipboardConnection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, m_widget, [this] { clipboardChanged(); });
        } else {
            QObject::disconnect(m_clipboardConnection);
            m_ownClipboardText.reset();
        }
    });
}

void Window::clipboardChanged()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Own when the platform says this process owns the clipboard and the text is the one this
    // window put there.
    bool own = m_ownClipboardText.has_value() && clipboard->text() == *m_ownClipboardText;
    m_ownClipboardText.reset();
    m_ownClipboardChange = own;
    fire(ClipboardChanged);
    m_ownClipboardChange = false;
}

void Window::setClipboardText(std::u16string_view text)
{
    onUiThread([&] {
        QString value = toQString(text);
        if (m_watchingClipboard)
            m_ownClipboardText = value;
        QGuiApplication::clipboard()->setText(value);
    });
}

std::u16string Window::getClipboardText() const
{
    return onUiThread([] { return fromQString(QGuiApplication::clipboard()->text()); });
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

// --- lifetime ---

void Window::reset()
{
    if (m_created) {
        m_gone = true;
        onUiThread([&] {
            nextGeneration();
            // Nobody hears the window being taken apart.
            for (auto& list : m_listeners)
                list.clear();
            m_languageListeners.clear();
            clearListeners();
            for (auto& [id, timer] : m_timers)
                delete timer;
            m_timers.clear();
            watchClipboard(false);
            QObject::disconnect(m_sessionConnection);
            if (m_localizer)
                m_localizer->removeListener(this);
            if (m_statusBar) {
                m_statusBar->create(nullptr);
                m_statusBar->release();
                m_statusBar = nullptr;
            }
            // Components first, while the frame they live in still stands; then the box state
            // (which must not try to destroy the frame again), then the frame.
            removeAll(true);
            m_created = false;
            BoxBase::reset();
            if (m_tray) {
                delete m_tray;
                m_tray = nullptr;
            }
            if (FrameWidget* f = frame())
                f->detach();
            QWidget* w = m_widget.data();
            m_widget.clear();
            delete w;
        });
    } else {
        BoxBase::reset();
    }
    resetWindowState();
}

void Window::resetWindowState()
{
    m_closed = false;
    m_sessionEnding = false;
    m_closeCancelled = false;
    m_inTray = m_trayShown = m_trayAlways = m_closeToTray = m_trayClickToggles = false;
    m_showInTaskbar = true;
    m_topmost = false;
    m_easyDrag = false;
    m_resizable = true;
    m_keepOnScreen = true;
    m_wasMaximized = false;
    m_active = false;
    m_deactivatedAt = 0;
    m_positionGiven = false;
    m_title = u"Window";
    m_titleId = m_versionId = -1;
    m_middleClickAction = "DoNothing";
    m_opacity = 100;
    m_alpha = 255;
    m_minWindowWidth = m_minWindowHeight = -1;
    m_enforceMinimum = false;
    m_settings = nullptr;
    m_localizer = nullptr;
    m_fontSettingAttached = nullptr;
    m_request = {};
    m_keyCode = 0;
    m_windowWheelStep = 0;
    m_timerId = 0;
    m_timerHandled = false;
    m_watchingClipboard = false;
    m_ownClipboardChange = false;
    m_ownClipboardText.reset();
    for (auto& list : m_listeners)
        list.clear();
    m_languageListeners.clear();
    m_transparent = false;
    m_window = nullptr;
}

}
