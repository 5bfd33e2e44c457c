#include "gui/os/ClipboardWatch.h"

#include <QClipboard>
#include <QGuiApplication>

namespace s::gui::os {

ClipboardWatch::ClipboardWatch(std::function<void(bool own)> changed)
    : m_changed(std::move(changed))
{
}

ClipboardWatch::~ClipboardWatch()
{
    QObject::disconnect(m_connection);
}

void ClipboardWatch::watch(QObject* context, bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    if (on) {
        m_connection = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, context, [this] { changed(); });
    } else {
        QObject::disconnect(m_connection);
        m_ownText.reset();
    }
}

void ClipboardWatch::changed()
{
    // Own only when the text is the one this window put there, and only for the change that
    // setting it caused.
    bool own = m_ownText.has_value() && QGuiApplication::clipboard()->text() == *m_ownText;
    m_ownText.reset();
    m_changed(own);
}

void ClipboardWatch::setText(const QString& text)
{
    if (m_watching)
        m_ownText = text;
    QGuiApplication::clipboard()->setText(text);
}

QString ClipboardWatch::text() const
{
    return QGuiApplication::clipboard()->text();
}

}
