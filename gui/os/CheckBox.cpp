#include "gui/os/CheckBox.h"

#include "gui/events/Disabler.h"
#include "gui/events/Enabler.h"

#include <QCheckBox>

namespace s::gui::os {

QWidget* CheckBox::makeWidget(QWidget* parent)
{
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::toggled, box, [this](bool on) { setChecked(on); });
    return box;
}

void CheckBox::platformText()
{
    onUiThread([&] {
        if (auto* box = static_cast<QCheckBox*>(m_widget.data()))
            box->setText(toQString(m_text));
    });
}

void CheckBox::applyStyle()
{
    if (auto* box = static_cast<QCheckBox*>(m_widget.data())) {
        QSignalBlocker quiet(box);
        box->setChecked(m_checked);
    }
}

void CheckBox::textChanged()
{
    if (!m_autoSize)
        return;
    QSize size = measureText(m_font, m_text);
    // Room for the box itself and its spacing before the caption.
    setNaturalSize(size.width() + 24, std::max(size.height(), 16) + 2);
    if (m_created)
        askParentToLayout();
}

void CheckBox::setChecked(bool on)
{
    S_ON_GUI_THREAD(setChecked(on));
    if (on == m_checked)
        return;
    m_checked = on;
    if (m_created) {
        onUiThread([&] {
            if (auto* box = static_cast<QCheckBox*>(m_widget.data())) {
                QSignalBlocker quiet(box);
                box->setChecked(on);
            }
        });
    }
    if (on)
        m_checkedListeners.fire(this, Checked);
    else
        m_uncheckedListeners.fire(this, Unchecked);
}

void CheckBox::enableWhenChecked(IComponent* c)
{
    S_ON_GUI_THREAD(enableWhenChecked(c));
    if (!m_enabler) {
        m_enabler = events::Enabler::get();
        m_enabler->setSource(this);
        addCheckedListener(m_enabler);
    }
    m_enabler->addTarget(c);
}

void CheckBox::disableWhenUnchecked(IComponent* c)
{
    S_ON_GUI_THREAD(disableWhenUnchecked(c));
    if (!m_disabler) {
        m_disabler = events::Disabler::get();
        m_disabler->setSource(this);
        addUncheckedListener(m_disabler);
    }
    m_disabler->addTarget(c);
}

void CheckBox::bindEnabled(IComponent* c)
{
    enableWhenChecked(c);
    disableWhenUnchecked(c);
}

void CheckBox::reset()
{
    Component::reset();
    m_checked = false;
    m_autoSize = true;
    if (m_enabler)
        m_enabler->release();
    if (m_disabler)
        m_disabler->release();
    m_enabler = nullptr;
    m_disabler = nullptr;
    m_checkedListeners.clear();
    m_uncheckedListeners.clear();
}

}
