#include "gui/os/WindowTray.h"

#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QSystemTrayIcon>

namespace s::gui::os {

WindowTray::WindowTray(std::function<void()> leftClick, std::function<void()> rightClick)
    : m_leftClick(std::move(leftClick))
    , m_rightClick(std::move(rightClick))
{
}

WindowTray::~WindowTray()
{
    // As with a window's timers: an icon still here outlived the GUI loop, and only the
    // process's end may take it.
    (void)m_icon.release();
}

void WindowTray::ensure()
{
    if (m_icon)
        return;
    m_icon = std::make_unique<QSystemTrayIcon>();
    m_icon->setIcon(m_image.isNull() ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon) : m_image);
    m_icon->setToolTip(m_tip);
    m_icon->setContextMenu(m_menu.data());
    QObject::connect(m_icon.get(), &QSystemTrayIcon::activated, m_icon.get(), [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            m_leftClick();
        else if (reason == QSystemTrayIcon::Context)
            m_rightClick();
    });
}

void WindowTray::show(bool on)
{
    if (on) {
        ensure();
        m_icon->show();
    } else if (m_icon) {
        m_icon->hide();
    }
    m_shown = on;
}

void WindowTray::setIcon(const QIcon& icon)
{
    m_image = icon;
    if (m_icon && !icon.isNull())
        m_icon->setIcon(icon);
}

void WindowTray::setTip(const QString& tip)
{
    m_tip = tip;
    if (m_icon)
        m_icon->setToolTip(tip);
}

void WindowTray::setMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_icon)
        m_icon->setContextMenu(menu);
}

void WindowTray::destroy()
{
    m_icon.reset();
    m_image = QIcon();
    m_tip.clear();
    m_menu.clear();
    m_shown = false;
}

}
