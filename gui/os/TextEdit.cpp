#include "gui/os/TextEdit.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace s::gui::os {

QWidget* TextEdit::makeWidget(QWidget* parent)
{
    auto* edit = new QPlainTextEdit(parent);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, edit] {
        if (!m_settingText)
            edited(fromQString(edit->toPlainText()));
    });
    return edit;
}

void TextEdit::afterCreate()
{
    QSize line = measureText(m_font, u"Mg");
    setMinSize(line.width() * 3, line.height() * 2 + 8);
    setMaxSize(100000, 100000);
}

void TextEdit::edited(std::u16string_view text)
{
    S_ON_GUI_THREAD(edited(text));
    m_text.assign(text);
    m_changeListeners.fire(this, Changed);
}

void TextEdit::platformText()
{
    onUiThread([&] {
        auto* edit = static_cast<QPlainTextEdit*>(m_widget.data());
        if (!edit || edit->toPlainText() == toQString(m_text))
            return;
        m_settingText = true;
        edit->setPlainText(toQString(m_text));
        m_settingText = false;
    });
}

void TextEdit::textChanged()
{
    // The program's own text: one event, whether or not the platform window exists yet.
    m_changeListeners.fire(this, Changed);
}

void TextEdit::appendText(std::u16string_view text)
{
    S_ON_GUI_THREAD(appendText(text));
    if (text.empty())
        return;
    m_text.append(text);
    onUiThread([&] {
        auto* edit = static_cast<QPlainTextEdit*>(m_widget.data());
        if (!edit)
            return;
        m_settingText = true;
        QTextCursor cursor(edit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(toQString(text));
        m_settingText = false;
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
    });
    m_changeListeners.fire(this, Changed);
}

void TextEdit::platformEditable(bool on)
{
    onUiThread([&] {
        if (auto* edit = static_cast<QPlainTextEdit*>(m_widget.data()))
            edit->setReadOnly(!on);
    });
}

void TextEdit::reset()
{
    Component::reset();
    m_settingText = false;
    m_changeListeners.clear();
}

}
