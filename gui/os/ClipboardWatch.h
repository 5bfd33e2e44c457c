#pragma once

#include <QMetaObject>
#include <QString>

#include <functional>
#include <optional>

class QObject;

namespace s::gui::os {

// Watches the clipboard (not the primary selection) for one window and tells a change the window
// made itself from one by anybody else. GUI thread only.
class ClipboardWatch {
public:
    // changed(own) runs on every change while watching.
    explicit ClipboardWatch(std::function<void(bool own)> changed);
    ~ClipboardWatch();
    ClipboardWatch(const ClipboardWatch&) = delete;
    ClipboardWatch& operator=(const ClipboardWatch&) = delete;

    // context: the object whose life bounds the connection (the window's frame).
    void watch(QObject* context, bool on);
    bool isWatching() const { return m_watching; }
    // Puts text on the clipboard; while watching, the change it causes counts as own.
    void setText(const QString& text);
    QString text() const;

private:
    void changed();

    std::function<void(bool)> m_changed;
    bool m_watching { false };
    std::optional<QString> m_ownText;
    QMetaObject::Connection m_connection;
};

}
