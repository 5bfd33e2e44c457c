#pragma once

#include "foundation/thread/Pool.h"
#include "formats/lang/ILangListener.h"
#include "gui/BoxBase.h"
#include "gui/IWindow.h"
#include "gui/IWindowSettings.h"
#include "gui/events/ListenerList.h"
#include "gui/os/Bound.h"

#include <atomic>
#include <map>
#include <optional>
#include <span>
#include <string>

class QSystemTrayIcon;
class QTimer;

namespace s::gui::os {

class FrameWidget;

// The top-level container: a frame on the GUI thread (see UIThread) that holds the components,
// with a title, a tray icon, closing (for good or to the tray), keep on top, dragging by the
// client area, a middle-click action, opacity, keeping on screen, saved geometry, timers,
// clipboard watching and the request channel through which other threads reach the GUI thread.
//
// Make one with Window::make() (the frame exists, hidden, when it returns); release() destroys
// the frame and every component in it.
//
// Events (sender = the window): 1 close requested (a listener may cancelClose), 2 request,
// 3 right press, 4 resized, 5 left press, 6 activated, 7 deactivated, 9 middle press, 11 moved,
// 12 key pressed (getKeyCode / setKeyCode; Enter is swallowed), 13 mouse moved, 14 wheel,
// 16 left double click, 18 tray icon right click, 20 language changed, 21 restored,
// 22 tray icon left click, 24 right release, 25 left release, 26 timer (getTimerId),
// 27 clipboard changed (isOwnClipboardChange).
class Window : public Bound<BoxBase>
    , public IWindow
    , public lang::ILangListener {
    S_POOLED_CLASS(Window, "s_gui_os_Window")
public:
    enum Event : int32_t {
        CloseRequested = 1, Request = 2, RightPress = 3, Resized = 4, LeftPress = 5, Activated = 6,
        Deactivated = 7, MiddlePress = 9, Moved = 11, KeyPressed = 12, MouseMoved = 13, Wheel = 14,
        DoubleClick = 16, TrayRightClick = 18, LanguageChanged = 20, Restored = 21, TrayLeftClick = 22,
        RightRelease = 24, LeftRelease = 25, Timer = 26, ClipboardChanged = 27
    };
    static constexpr int32_t EventCount = 28;

    Window() = default;
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
    FontSetting* getFontSetting() override { return m_fontSettingAttached; }
    IWindow* getWindow() const override { return const_cast<Window*>(this); }
    // A position the program sets is kept when the window shows (unless it is off screen).
    void setBounds(int32_t x, int32_t y, int32_t w, int32_t h) override;
    bool create(IContainer* parent) override;

    // --- request record (valid during code 2) ---
    const char* getRequestName() const { return m_request.name; }
    intptr_t getRequestArg1() const { return m_request.a1; }
    intptr_t getRequestArg2() const { return m_request.a2; }
    intptr_t getRequestArg3() const { return m_request.a3; }
    void setRequestResult(intptr_t result) { m_request.result = result; }

    // --- closing and states ---
    bool isClosed() const { return m_closed.load(); }
    // Asks to close, as the frame's close button does (without the send-to-tray detour).
    void close();
    // From a close listener: keep the window open.
    void cancelClose() { m_closeCancelled = true; }
    // Blocks, polling every 10 ms, until the window is closed.
    void waitUntilClosed() const;
    void activate(bool on = true);
    bool isMinimized() const;
    void minimize();
    bool isMaximized() const;
    void maximize();
    void restore();
    void showNormal();
    void sendToTray();
    bool isInTray() const { return m_inTray; }
    // Whether the desktop session is ending (log-off or shutdown); the window then closes itself.
    bool isSessionEnding() const { return m_sessionEnding.load(); }
    bool isShown() const;

    // --- frame ---
    void setEasyDrag(bool on) { m_easyDrag = on; }
    bool isEasyDrag() const { return m_easyDrag; }
    void setMaximizeBox(bool on);
    void setMinimizeBox(bool on);
    void setShowInTaskbar(bool on);
    bool isResizable() const { return m_resizable; }
    void setResizable(bool on);
    void setTopmost(bool on);
    bool isTopmost() const { return m_topmost; }
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
    bool isTrayIconShown() const { return m_trayShown; }
    void setTrayIconAlways(bool on);
    void setCloseToTray(bool on) { m_closeToTray = on; }
    // Left clicks on the tray icon send an active window to the tray and restore one from it.
    void setTrayClickToggles(bool on) { m_trayClickToggles = on; }
    // What the tray icon reports (the binding calls these; tests may too).
    void trayLeftClick();
    void trayRightClick();

    // --- attachments ---
    void setLocalizer(lang::Localizer* localizer);
    lang::Localizer* getLocalizer() const { return m_localizer; }
    void setFontSetting(FontSetting* setting) { m_fontSettingAttached = setting; }
    // Kept at the bottom, across the whole client width.
    void setStatusBar(IComponent* bar);
    void languageChanged(lang::Localizer& localizer) override;

    // --- listeners: one list per event code ---
    void addListener(int32_t code, events::IEventListener* listener);
    void removeListener(int32_t code, events::IEventListener* listener);
    void addCloseListener(events::IEventListener* l) { addListener(CloseRequested, l); }
    void addRequestListener(events::IEventListener* l) { addListener(Request, l); }
    void addTimerListener(events::IEventListener* l) { addListener(Timer, l); }
    void addClipboardListener(events::IEventListener* l) { addListener(ClipboardChanged, l); }

    // --- key, wheel ---
    int32_t getKeyCode() const { return m_keyCode; }
    void setKeyCode(int32_t code) { m_keyCode = code; }
    int32_t getWheelStep() const override { return m_windowWheelStep; }

    // --- minimum size ---
    void setMinimumWidth(int32_t w) override;
    void setMinimumHeight(int32_t h);
    void enforceMinimumSize(bool on);
    void applyMinimumSize();

    // --- settings ---
    void bindSettings(IWindowSettings* store, bool withVersion);
    void saveGeometry(bool includeHidden = false);

    // --- screen ---
    bool isOnScreen() const;
    void clampToScreen();
    void setKeepOnScreen(bool on) { m_keepOnScreen = on; }
    void show(bool on = true, bool activate = true);

    // "DoNothing", "Close" or "Iconize"; anything else counts as "DoNothing".
    void setMiddleClickAction(std::string_view name);
    const std::string& getMiddleClickAction() const { return m_middleClickAction; }
    // Percent 0..100; the alpha applied is percent * 255 / 100.
    void setOpacity(int32_t percent);
    int32_t getOpacity() const { return m_opacity; }
    int32_t getOpacityAlpha() const { return m_alpha; }

    // --- timers: code 26 with the id ---
    void startTimer(int32_t id, int32_t milliseconds);
    void stopTimer(int32_t id);
    int32_t getTimerId() const { return m_timerId; }
    void markTimerHandled() { m_timerHandled = true; }
    bool isTimerHandled() const { return m_timerHandled; }

    // --- clipboard: code 27 ---
    void watchClipboard(bool on);
    bool isWatchingClipboard() const { return m_watchingClipboard; }
    // Puts text on the clipboard as this window, so the change it causes is recognisable.
    void setClipboardText(std::u16string_view text);
    std::u16string getClipboardText() const;
    // During code 27: whether this window made the change.
    bool isOwnClipboardChange() const { return m_ownClipboardChange; }

    // --- message boxes on the GUI thread ---
    void showInfo(std::u16string_view text);
    void showError(std::u16string_view text);
    bool ask(std::u16string_view text);

    void reset() override;

    // --- what the frame reports (GUI thread) ---
    void frameCloseRequested();
    void frameResized(int32_t w, int32_t h);
    void frameMoved(int32_t x, int32_t y);
    void frameActivation(bool active);
    void frameStateChanged();
    bool fire(int32_t code);

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void platformPlace(int32_t x, int32_t y, int32_t w, int32_t h) override;
    void platformShow(bool show) override;
    void layoutChildren() override;

private:
    friend class FrameWidget;
    struct RequestRecord {
        const char* name { nullptr };
        intptr_t a1 { 0 };
        intptr_t a2 { 0 };
        intptr_t a3 { 0 };
        intptr_t result { 0 };
    };

    FrameWidget* frame() const;
    void applyTitle();
    void ensureTray();
    void updateTrayTip();
    void doClose(bool systemCommand);
    void centreOnScreen();
    void clipboardChanged();
    void middleClick();
    void resetWindowState();

    intptr_t deliverRequest(const uint64_t* generation, const char* name, intptr_t a1, intptr_t a2, intptr_t a3);
    void nextGeneration();

    std::atomic<bool> m_gone { true };
    std::atomic<uint64_t> m_generation { 0 };
    std::atomic<bool> m_closed { false };
    std::atomic<bool> m_sessionEnding { false };
    QMetaObject::Connection m_sessionConnection;
    bool m_closeCancelled { false };
    bool m_inTray { false };
    bool m_trayShown { false };
    bool m_trayAlways { false };
    bool m_closeToTray { false };
    bool m_trayClickToggles { false };
    bool m_showInTaskbar { true };
    bool m_topmost { false };
    bool m_easyDrag { false };
    bool m_resizable { true };
    bool m_keepOnScreen { true };
    bool m_wasMaximized { false };
    bool m_active { false };
    int64_t m_deactivatedAt { 0 };
    bool m_positionGiven { false };
    std::u16string m_title { u"Window" };
    int32_t m_titleId { -1 };
    int32_t m_versionId { -1 };
    std::string m_middleClickAction { "DoNothing" };
    int32_t m_opacity { 100 };
    int32_t m_alpha { 255 };
    int32_t m_minWindowWidth { -1 };
    int32_t m_minWindowHeight { -1 };
    bool m_enforceMinimum { false };
    IWindowSettings* m_settings { nullptr };
    lang::Localizer* m_localizer { nullptr };
    FontSetting* m_fontSettingAttached { nullptr };
    IComponent* m_statusBar { nullptr };
    RequestRecord m_request;
    int32_t m_keyCode { 0 };
    int32_t m_windowWheelStep { 0 };
    int32_t m_timerId { 0 };
    bool m_timerHandled { false };
    std::map<int32_t, QTimer*> m_timers;
    bool m_watchingClipboard { false };
    bool m_ownClipboardChange { false };
    std::optional<QString> m_ownClipboardText;
    QMetaObject::Connection m_clipboardConnection;
    QSystemTrayIcon* m_tray { nullptr };
    events::ListenerList m_listeners[EventCount];
    events::ListenerList m_languageListeners;
};

}
