#pragma once

#include <QIcon>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace s::gui::os {

// The notification-area icon of one window, made on first need with the window's icon (or a
// standard one) and its title as tip. Clicks go to the two callbacks. GUI thread only.
class WindowTray {
public:
    WindowTray(std::function<void()> leftClick, std::function<void()> rightClick);
    ~WindowTray();
    WindowTray(const WindowTray&) = delete;
    WindowTray& operator=(const WindowTray&) = delete;

    void show(bool on);
    bool isShown() const { return m_shown; }
    void setIcon(const QIcon& icon);
    void setTip(const QString& tip);
    // The menu of the icon (shown by Qt or by the desktop shell); null for none. Not owned.
    void setMenu(QMenu* menu);
    // Takes the icon away for good (the window goes).
    void destroy();

private:
    void ensure();

    std::function<void()> m_leftClick;
    std::function<void()> m_rightClick;
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QIcon m_image;
    QString m_tip;
    QPointer<QMenu> m_menu;
    bool m_shown { false };
};

}
