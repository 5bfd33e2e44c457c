#include "gui/os/TextField.h"

#include "gui/events/Editabler.h"
#include "gui/events/UnEditabler.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace s::gui::os {

namespace {

class FieldWidget : public QLineEdit {
public:
    FieldWidget(TextField* field, QWidget* parent)
        : QLineEdit(parent)
        , m_field(field)
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            m_field->enterPressed();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QLineEdit::focusOutEvent(event);
        m_field->focusLost();
    }

private:
    TextField* m_field;
};

}

QWidget* TextField::makeWidget(QWidget* parent)
{
    auto* field = new FieldWidget(this, parent);
    QObject::connect(field, &QLineEdit::textEdited, field, [this](const QString& text) { userEdited(fromQString(text)); });
    return field;
}

void TextField::userEdited(std::u16string_view text)
{
    S_ON_GUI_THREAD(userEdited(text));
    m_text.assign(text);
    if (m_notifyChanges)
        m_changeListeners.fire(this, Changed);
}

void TextField::platformText()
{
    onUiThread([&] {
        auto* field = static_cast<QLineEdit*>(m_widget.data());
        if (field && field->text() != toQString(m_text))
            field->setText(toQString(m_text));
    });
}

void TextField::platformEditable(bool on)
{
    onUiThread([&] {
        if (auto* field = static_cast<QLineEdit*>(m_widget.data()))
            field->setReadOnly(!on);
    });
}

void TextField::applyStyle()
{
    if (auto* field = static_cast<QLineEdit*>(m_widget.data())) {
        field->setEchoMode(m_password ? QLineEdit::Password : QLineEdit::Normal);
        field->setReadOnly(!m_editable);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Text, toQColor(m_textColour));
        field->setPalette(palette);
    }
}

void TextField::fontChanged()
{
    Bound<Component>::fontChanged();
    measure();
}

void TextField::measure()
{
    // One line high; as narrow as a few letters, and as wide as its container allows.
    QSize size = measureText(m_font, u"Mg");
    setMinSize(size.width() * 3, size.height() + 8);
    setMaxSize(100000, size.height() + 8);
}

void TextField::setPassword(bool on)
{
    S_ON_GUI_THREAD(setPassword(on));
    if (on == m_password)
        return;
    m_password = on;
    if (m_created)
        platformStyle();
}

void TextField::editableWhen(IComponent* c)
{
    S_ON_GUI_THREAD(editableWhen(c));
    if (!m_editabler) {
        m_editabler = events::Editabler::get();
        m_editabler->setSource(this);
        addChangeListener(m_editabler);
    }
    m_editabler->addTarget(c);
}

void TextField::readOnlyWhen(IComponent* c)
{
    S_ON_GUI_THREAD(readOnlyWhen(c));
    if (!m_unEditabler) {
        m_unEditabler = events::UnEditabler::get();
        m_unEditabler->setSource(this);
        addFocusLostListener(m_unEditabler);
    }
    m_unEditabler->addTarget(c);
}

void TextField::reset()
{
    Component::reset();
    m_password = false;
    m_notifyChanges = true;
    if (m_editabler)
        m_editabler->release();
    if (m_unEditabler)
        m_unEditabler->release();
    m_editabler = nullptr;
    m_unEditabler = nullptr;
    m_changeListeners.clear();
    m_enterListeners.clear();
    m_focusListeners.clear();
}

}
