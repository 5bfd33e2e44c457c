#include "gui/os/Button.h"

#include <QPushButton>

namespace s::gui::os {

QWidget* Button::makeWidget(QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setAutoRepeatDelay(500);
    button->setAutoRepeatInterval(100);
    // Auto-repeat: Qt clicks again and again while the button is held; the first click comes
    // on release only when the button was not held long enough to repeat.
    QObject::connect(button, &QPushButton::clicked, button, [this, button] {
        if (m_autoRepeat && button->isDown())
            repeatTick();
        else
            click();
    });
    return button;
}

void Button::platformText()
{
    onUiThread([&] {
        if (auto* button = static_cast<QPushButton*>(m_widget.data()))
            button->setText(toQString(m_text));
    });
}

void Button::applyStyle()
{
    auto* button = static_cast<QPushButton*>(m_widget.data());
    if (!button)
        return;
    button->setAutoRepeat(m_autoRepeat);
    button->setCheckable(false);
    button->setDown(m_toggle && m_toggled);
}

void Button::textChanged()
{
    if (!m_autoSize)
        return;
    QSize size = measureText(m_font, m_text);
    setNaturalSize(size.width() + 24, size.height() + 10);
    if (m_created)
        askParentToLayout();
}

void Button::setToggled(bool on)
{
    S_ON_GUI_THREAD(setToggled(on));
    if (on == m_toggled)
        return;
    m_toggled = on;
    if (m_created)
        platformStyle();
}

void Button::setAutoRepeat(bool on)
{
    if (on == m_autoRepeat)
        return;
    m_autoRepeat = on;
    if (m_created)
        platformStyle();
}

void Button::click()
{
    S_ON_GUI_THREAD(click());
    m_clickListeners.fire(this, Clicked);
    if (m_toggle) {
        setToggled(!m_toggled);
        m_toggleListeners.fire(this, Toggled);
    }
}

void Button::reset()
{
    Component::reset();
    m_toggle = m_toggled = m_autoRepeat = false;
    m_autoSize = true;
    m_clickListeners.clear();
    m_toggleListeners.clear();
    m_repeatListeners.clear();
}

}
