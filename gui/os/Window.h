#pragma once

#include "foundation/thread/Pool.h"
#include "formats/lang/ILangListener.h"
#include "gui/BoxBase.h"
#include "gui/IWindow.h"
#include "gui/IWindowSettings.h"
#include "gui/events/ListenerList.h"
#include "gui/os/Bound.h"
#include "gui/os/ClipboardWatch.h"
#include "gui/os/WindowGeometry.h"
#include "gui/os/WindowTimers.h"
#include "gui/os/WindowSkin.h"
#include "gui/os/WindowTray.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <span>
#include <string>

namespace s::gui::menu {
class IPopupMenu;
}

namespace s::gui::os {

class FrameWidget;

// Everything a window is besides its box state, its helpers and its listeners, with the defaults:
// reset() restores a fresh WindowState.
struct WindowState {
    bool m_closeCancelled { false };
    bool m_inTray { false };
    bool m_trayAlways { false };
    bool m_closeToTray { false };
    bool m_trayClickToggles { false };
    bool m_showInTaskbar { true };
    bool m_topmost { false };
    bool m_easyDrag { false };
    bool m_resizable { true };
    bool m_wasMaximized { false };
    bool m_active { false };
    int64_t m_deactivatedAt { 0 };
    std::u16string m_title { u"Window" };
    int32_t m_titleId { -1 };
    int32_t m_versionId { -1 };
    std::string m_middleClickAction { "DoNothing" };
    int32_t m_opacity { 100 };
    int32_t m_alpha { 255 };
    int32_t m_minWindowWidth { -1 };
    int32_t m_minWindowHeight { -1 };
    bool m_enforceMinimum { false };
    lang::Localizer* m_localizer { nullptr };
    FontSetting* m_fontSettingAttached { nullptr };
    IComponent* m_statusBar { nullptr };
    // Not owned.
    menu::IPopupMenu* m_contextMenu { nullptr };
    menu::IPopupMenu* m_trayMenu { nullptr };
    struct RequestRecord {
        const char* name { nullptr };
        intptr_t a1 { 0 };
        intptr_t a2 { 0 };
        intptr_t a3 { 0 };
        intptr_t result { 0 };
    } m_request;
    int32_t m_keyCode { 0 };
    int32_t m_windowWheelStep { 0 };
    int32_t m_timerId { 0 };
    bool m_timerHandled { false };
    bool m_ownClipboardChange { false };
    bool m_capturing { false };
    int32_t m_captureX { 0 };
    int32_t m_captureY { 0 };
    // Nested event loops running for this window (its message boxes, waitUntilClosed on the GUI
    // thread); a teardown waits until they have returned.
    int32_t m_modalDepth { 0 };
    bool m_teardownPending { false };
};

// The top-level container: a frame on the GUI thread (see UIThread) that holds the components,
// with a title, a tray icon, closing (for good or to the tray), keep on top, dragging by the
// client area, a middle-click action, opacity, keeping on screen, saved geometry, timers,
// clipboard watching and the request channel through which other threads reach the GUI thread.
//
// Make one with Window::make() (the frame exists, hidden, when it returns); release() destroys
// the frame and every component in it.
//
// Threads. Once a window or a component is created it belongs to the GUI thread: every change of
// it, every layout and every listener call runs there. Any thread may call any operation of the
// toolkit: a call made on another thread hops to the GUI thread (decided inside the call) and
// waits until it has run there, so reads made through it see the GUI thread's state. Only these
// run on the caller's thread without a hop: adding and removing listeners (each list has its own
// lock), generation(), isClosed() and isSessionEnding() (atomics), and everything on a component
// that is not created yet (it belongs to whoever configures it). The hooks the binding calls
// (frame*, fire, the components' user* and *Pressed reports) and the request record's getters
// are GUI-thread only; debug builds assert it.
// A thread that hops must not hold a lock the GUI thread may want. The GUI thread never waits for
// another thread without serving its queue: its nested loops (message boxes, waitUntilClosed)
// go on serving requests, and a window's teardown that arrives meanwhile waits until they have
// returned. Once the GUI loop has ended, a request is dropped at once (it returns 0).
//
// Layout: the shared Vertical manager places the children (unless another manager is set); then
// the status bar, when attached and shown, goes over the bottom across the whole client width.
class Window : public Bound<BoxBase>
    , public IWindow
    , public lang::ILangListener
    , private WindowState {
    S_POOLED_CLASS(Window, "s_gui_os_Window")
public:
    // The codes a window fires (sender = the window), besides those of a box.
    enum Event : int32_t {
        CloseRequested = 1,
        Request = 2,
        RightPress = 3,
        Resized = 4,
        LeftPress = 5,
        Activated = 6,
        Deactivated = 7,
        Resizing = 8,
        MiddlePress = 9,
        Moving = 10,
        Moved = 11,
        KeyPressed = 12,
        MouseMoved = 13,
        Wheel = 14,
        DoubleClick = 16,
        CaptureEnded = 17,
        TrayRightClick = 18,
        ContextMenu = 19,
        LanguageChanged = 20,
        Restored = 21,
        TrayLeftClick = 22,
        HotKey = 23,
        RightRelease = 24,
        LeftRelease = 25,
        Timer = 26,
        ClipboardChanged = 27,
    };
    static constexpr int32_t EventCount = 28;

    Window();
    ~Window() override;

    // A window with its frame made (hidden) on the GUI thread.
    static thread::Pooled<Window> make();
    // Makes the frame when there is none (make() does it).
    void open();

    // --- IWindow ---
    intptr_t sendRequest(const char* name, intptr_t a1, intptr_t a2, intptr_t a3) override;
    uint64_t generation() const override { return m_generation.load(); }
    intptr_t sendRequestTo(uint64_t generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3) override;
    IContainer* asContainer() override { return this; }
    bool lookUpText(int32_t id, std::u16string& out) override;
    void addLanguageListener(events::IEventListener* listener) override { m_languageListeners.add(listener); }
    void removeLanguageListener(events::IEventListener* listener) override { m_languageListeners.remove(listener); }
    FontSetting* getFontSetting() override;
    IWindow* getWindow() const override { return const_cast<Window*>(this); }
    // A position the program sets is kept when the window shows (unless it is off screen).
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    bool create(IContainer* parent) override;

    // --- request record (GUI thread, valid during code 2) ---
    const char* getRequestName() const;
    intptr_t getRequestArg1() const;
    intptr_t getRequestArg2() const;
    intptr_t getRequestArg3() const;
    void setRequestResult(intptr_t result);

    // --- closing and states ---
    bool isClosed() const { return m_closed.load(); }
    // Asks to close, as the frame's close button does (without the send-to-tray detour).
    void close();
    // From a close listener: keep the window open.
    void cancelClose();
    // Blocks, polling every 10 ms, until the window is closed; on the GUI thread it serves events
    // meanwhile.
    void waitUntilClosed();
    void activate(bool on = true);
    bool isMinimized() const;
    void minimize();
    bool isMaximized() const;
    void maximize();
    void restore();
    void showNormal();
    void sendToTray();
    bool isInTray() const;
    // Whether the desktop session is ending (log-off or shutdown); the window then closes itself.
    bool isSessionEnding() const { return m_sessionEnding.load(); }
    bool isShown() const;
    bool isActive() const;

    // --- frame ---
    void setEasyDrag(bool on);
    bool isEasyDrag() const;
    void setMaximizeBox(bool on);
    void setMinimizeBox(bool on);
    void setShowInTaskbar(bool on);
    bool isResizable() const;
    void setResizable(bool on);
    void setTopmost(bool on);
    bool isTopmost() const;
    std::u16string getTitle() const;
    void setTitle(std::u16string_view text);
    // The shown title is the text of titleId, followed by " v" and the text of versionId (-1: none).
    void setTitleId(int32_t titleId, int32_t versionId = -1);

    // The icon of the frame and of the tray icon, from picture data (PNG, ICO, ...); small and big
    // sizes come from the same picture. False when the data is no picture (the icon stays).
    bool setIconData(std::span<const uint8_t> bytes);
    bool hasIcon() const;

    // --- tray ---
    void setTrayIcon(bool on);
    bool isTrayIconShown() const;
    void setTrayIconAlways(bool on);
    void setCloseToTray(bool on);
    // Left clicks on the tray icon send an active window to the tray and restore one from it.
    void setTrayClickToggles(bool on);
    // What the tray icon reports (the binding calls these; tests may too).
    void trayLeftClick();
    void trayRightClick();

    // --- attachments ---
    void setLocalizer(lang::Localizer* localizer);
    lang::Localizer* getLocalizer() const;
    void setFontSetting(FontSetting* setting);
    // Kept over the bottom, across the whole client width. The bar becomes a child of the window
    // (the last one, when it is not a child yet), so the layout keeps room for it.
    void setStatusBar(IComponent* bar);
    IComponent* getStatusBar() const;
    // The menu a right press in the client area opens: code 19 first, then the menu where the
    // press was. Not owned; null for none.
    void setContextMenu(menu::IPopupMenu* menu);
    // The tray icon's menu: code 18 is fired as it opens, whoever opens it (on StatusNotifierItem
    // desktops the shell shows it). Not owned; null for none.
    void setTrayMenu(menu::IPopupMenu* menu);
    // The frame reports a right press at a screen point (GUI thread).
    void frameRightPressed(int32_t screenX, int32_t screenY);
    // The tray menu's opening.
    void handle(base::IObject* sender, int32_t code) override;
    void languageChanged(lang::Localizer& localizer) override;

    // --- skins (GUI thread) ---
    // The window takes the current skin's window drawer and follows the skinner's changes; so do
    // the components in it. Null: the platform's frame and the components' own drawers again.
    void setSkinner(drawer::Skinner* skinner);
    drawer::Skinner* getSkinner() const override { return m_skin.skinner(); }
    bool hasSkinner() const { return m_skin.skinner() != nullptr; }
    // Selects the skin named in the settings when it is one of the family, else the wanted one,
    // else the first; later changes are written back to the settings.
    void chooseSkin(std::u16string_view wanted, IWindowSettings* settings = nullptr);
    // A window drawer makes the frame skinned (see WindowSkin); an owned one is released when
    // replaced or when the window is reset.
    void setWindowDrawer(drawer::window::Thin* drawer, bool own);
    drawer::window::Thin* getWindowDrawer() const { return m_skin.windowDrawer(); }
    const WindowSkin& skin() const { return m_skin; }

    // --- listeners: one list per event code (any thread) ---
    void addListener(int32_t code, events::IEventListener* listener);
    void removeListener(int32_t code, events::IEventListener* listener);
    void addCloseListener(events::IEventListener* l) { addListener(CloseRequested, l); }
    void addRequestListener(events::IEventListener* l) { addListener(Request, l); }
    void addTimerListener(events::IEventListener* l) { addListener(Timer, l); }
    void addClipboardListener(events::IEventListener* l) { addListener(ClipboardChanged, l); }

    // --- key, wheel, pointer (GUI thread, during the event) ---
    int32_t getKeyCode() const;
    void setKeyCode(int32_t code);
    int32_t getWheelStep() const override;
    // Takes the pointer until the next button release, which fires code 17 with the cursor's
    // screen position.
    void startPointerCapture();
    bool isCapturingPointer() const;
    int32_t getCaptureX() const;
    int32_t getCaptureY() const;

    // --- minimum size ---
    void setMinimumWidth(int32_t w) override;
    void setMinimumHeight(int32_t h);
    void enforceMinimumSize(bool on);
    void applyMinimumSize();

    // --- settings ---
    void bindSettings(IWindowSettings* store, bool withVersion);
    // Writes the normal position and size and the maximised flag (only values that changed);
    // nothing while the window is hidden unless includeHidden.
    void saveGeometry(bool includeHidden = false);

    // --- screen ---
    bool isOnScreen() const;
    void clampToScreen();
    void setKeepOnScreen(bool on);
    void show(bool on = true, bool activate = true);

    // "DoNothing", "Close" or "Iconize"; anything else counts as "DoNothing".
    void setMiddleClickAction(std::string_view name);
    std::string getMiddleClickAction() const;
    // Percent 0..100; the alpha applied is percent * 255 / 100.
    void setOpacity(int32_t percent);
    int32_t getOpacity() const;
    int32_t getOpacityAlpha() const;

    // --- timers: code 26 with the id ---
    void startTimer(int32_t id, int32_t milliseconds);
    void stopTimer(int32_t id);
    int32_t getTimerId() const;
    void markTimerHandled();
    bool isTimerHandled() const;

    // --- clipboard: code 27 ---
    void watchClipboard(bool on);
    bool isWatchingClipboard() const;
    // Puts text on the clipboard as this window, so the change it causes is recognisable.
    void setClipboardText(std::u16string_view text);
    std::u16string getClipboardText() const;
    // During code 27: whether this window made the change.
    bool isOwnClipboardChange() const;

    // --- message boxes on the GUI thread ---
    void showInfo(std::u16string_view text);
    void showError(std::u16string_view text);
    bool ask(std::u16string_view text);

    // A nested event loop for this window runs while a ModalScope lives (GUI thread): the
    // window's teardown waits until the loop has returned. A scope that outlives its window (the
    // window changed hands meanwhile) leaves the new one alone.
    class ModalScope {
    public:
        explicit ModalScope(Window* window);
        ~ModalScope();
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;

    private:
        Window* m_window;
        uint64_t m_generation;
    };

    void reset() override;

    // --- what the frame reports (GUI thread) ---
    void frameCloseRequested();
    void frameResized(int32_t w, int32_t h);
    void frameMoved(int32_t x, int32_t y);
    void frameActivation(bool active);
    void frameStateChanged();
    void frameKeyPressed(int32_t code);
    void frameWheel(int32_t step);
    void framePointerReleased(int32_t screenX, int32_t screenY);
    void middleClick();
    bool fire(int32_t code);

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformPlace(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void platformShow(bool show) override;
    void layoutChildren() override;

private:
    friend class FrameWidget;

    FrameWidget* frame() const;
    intptr_t deliverRequest(const uint64_t* generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3);
    void nextGeneration();
    void applyTitle();
    void doClose(bool systemCommand);
    void doShow(bool on, bool activateIt);
    void doSendToTray();
    void doRestore();
    void doActivate();
    void doSetOpacity(int32_t percent);
    void doWatchClipboard(bool on);
    void centreOnScreen();
    void clipboardChanged(bool own);
    void timerFired(int32_t id);
    bool frameIsNormal() const;
    void endModal();
    // Ends the nested loops of this window: its dialogs are answered with a refusal and closed,
    // and waitUntilClosed returns.
    void endModalLoops();
    void teardown();

    std::atomic<bool> m_gone { true };
    std::atomic<bool> m_closed { true };
    std::atomic<bool> m_sessionEnding { false };
    std::atomic<uint64_t> m_generation { 0 };
    QMetaObject::Connection m_sessionConnection;
    WindowGeometry m_geometry;
    WindowTimers m_timers;
    ClipboardWatch m_clipboard;
    WindowTray m_tray;
    WindowSkin m_skin { *this };
    events::ListenerList m_listeners[EventCount];
    events::ListenerList m_languageListeners;
    // A teardown from another thread waits here while the window's nested loops return.
    std::mutex m_teardownLock;
    std::condition_variable m_teardownDone;
};

}
