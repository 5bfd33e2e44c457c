#include "gui/os/Button.h"

#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/SizeGrip.h"
#include "gui/drawer/button/Thin.h"
#include "gui/drawer/skin/SkinBase.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>

namespace s::gui::os {

namespace {

// The platform's push button, painted by the component's drawer when it has one.
class ButtonWidget final : public QPushButton {
public:
    ButtonWidget(Button* owner, QWidget* parent)
        : QPushButton(parent)
        , m_owner(owner)
    {
        setAttribute(Qt::WA_Hover, true);
    }

    void detach() { m_owner = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!m_owner || (!m_owner->getDrawer() && !m_owner->isResizer())) {
            QPushButton::paintEvent(event);
            return;
        }
        QPainter painter(this);
        const int32_t state = isDown() ? 2 : underMouse() ? 1 : 0;
        m_owner->paintWith(painter, width(), height(), state);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        // A size grip hands the drag to the window system, which resizes on X11 and Wayland alike.
        if (m_owner && m_owner->isResizer() && event->button() == Qt::LeftButton) {
            if (QWindow* handle = window()->windowHandle())
                handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
            event->accept();
            return;
        }
        QPushButton::mousePressEvent(event);
    }

private:
    Button* m_owner;
};

}

QWidget* Button::makeWidget(QWidget* parent)
{
    auto* button = new ButtonWidget(this, parent);
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

void Button::afterCreate()
{
    followSkin();
}

void Button::followSkin()
{
    if (m_drawerFromProgram)
        return;
    m_skinLink.attach(m_window, [this](drawer::skin::SkinBase& skin) { takeDrawer(skin.getButton(), false); });
}

void Button::beforeDestroy()
{
    m_skinLink.detach();
    if (auto* button = static_cast<ButtonWidget*>(m_widget.data()))
        button->detach();
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
    // The platform look shows a toggled button held down; a drawer shows it checked itself.
    button->setDown(!m_drawer && m_toggle && m_toggled);
    button->setFlat(!m_raised);
    button->update();
}

void Button::textChanged()
{
    if (!m_autoSize || isResizer())
        return;
    QSize size = measureText(m_font, m_text);
    setNaturalSize(size.width() + 24, size.height() + 10);
    if (m_created)
        askParentToLayout();
}

FontDescription Button::normalFont() const
{
    FontDescription font = m_font;
    if (!draw::isSet(font.textColour))
        font.textColour = m_textColour;
    m_normalStyle.applyTo(font);
    return font;
}

FontDescription Button::checkedFont() const
{
    FontDescription font = normalFont();
    m_checkedStyle.applyTo(font);
    return font;
}

FontDescription Button::disabledFont() const
{
    FontDescription font = normalFont();
    m_disabledStyle.applyTo(font);
    return font;
}

void Button::paintWith(QPainter& painter, int32_t width, int32_t height, int32_t state) const
{
    draw::os::PainterCanvas canvas(painter);
    const bool checked = (m_toggle && m_toggled) != m_drawnInverted;
    if (!isBackgroundTransparent())
        canvas.fill(draw::Rect { 0, 0, width, height }, getBackgroundColour());
    if (!m_drawer) {
        // A size grip without a drawer: the grip's own dots.
        drawer::SizeGrip::paint(canvas, draw::Rect { 0, 0, width, height });
        return;
    }
    // A checked button that a click cannot uncheck does not light up under the mouse.
    if (checked && m_toggle && !m_untoggleAllowed)
        state = 0;
    const FontDescription font = checked ? checkedFont() : m_enabled ? normalFont() : disabledFont();
    m_drawer->paint(canvas, 0, 0, width, height, state, m_text, m_raised, &font, m_enabled, checked, m_tabLook);
}

void Button::setDrawer(drawer::button::Thin* drawer, bool own)
{
    // A drawer set by the program replaces the skin's for good.
    if (m_created)
        onUiThread([&] { m_skinLink.detach(); });
    m_drawerFromProgram = drawer != nullptr;
    takeDrawer(drawer, own);
}

void Button::takeDrawer(drawer::button::Thin* drawer, bool own)
{
    auto swap = [&] {
        if (drawer == m_drawer) {
            m_ownsDrawer = m_ownsDrawer || own;
            return;
        }
        releaseDrawer();
        m_drawer = drawer;
        m_ownsDrawer = drawer && own;
        m_normalStyle.clear();
        m_checkedStyle.clear();
        m_disabledStyle.clear();
        if (drawer) {
            m_normalStyle = drawer->getNormalStyle();
            m_checkedStyle = drawer->getCheckedStyle();
            m_disabledStyle = drawer->getDisabledStyle();
        }
    };
    // Drawers never change while the widget may be painting with them.
    if (m_created) {
        onUiThread(swap);
        platformStyle();
    } else {
        swap();
    }
}

void Button::releaseDrawer()
{
    if (m_drawer && m_ownsDrawer)
        m_drawer->release();
    m_drawer = nullptr;
    m_ownsDrawer = false;
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

void Button::setRaised(bool on)
{
    if (on == m_raised)
        return;
    m_raised = on;
    if (m_created)
        platformStyle();
}

void Button::setDrawnInverted(bool on)
{
    if (on == m_drawnInverted)
        return;
    m_drawnInverted = on;
    repaint();
}

void Button::setTabLook(bool on)
{
    if (on == m_tabLook)
        return;
    m_tabLook = on;
    repaint();
}

void Button::click()
{
    S_ON_GUI_THREAD(click());
    m_clickListeners.fire(this, Clicked);
    if (m_toggle && (m_untoggleAllowed || !m_toggled)) {
        setToggled(!m_toggled);
        m_toggleListeners.fire(this, Toggled);
    }
}

void Button::reset()
{
    Component::reset();
    m_skinLink.detach();
    m_drawerFromProgram = false;
    releaseDrawer();
    m_normalStyle.clear();
    m_checkedStyle.clear();
    m_disabledStyle.clear();
    m_toggle = m_toggled = m_autoRepeat = false;
    m_autoSize = true;
    m_raised = true;
    m_untoggleAllowed = true;
    m_drawnInverted = false;
    m_tabLook = false;
    m_clickListeners.clear();
    m_toggleListeners.clear();
    m_repeatListeners.clear();
}

}
