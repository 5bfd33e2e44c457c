#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QDropEvent;
class QMimeData;

namespace s::gui {
class BoxBase;
}

namespace s::gui::os {

// What lets the user drop a link onto a box: a link dragged from a browser's address bar or page
// and dropped anywhere over the box, also over its text fields, becomes code 7 of the box with the
// link as its dropped text.
//
// Accepted are drags that carry a web link as "text/x-moz-url" or "text/uri-list" (see
// DroppedLink). Plain text is refused by its format, whatever it says, and so are files (a box
// that takes files still gets them through its file drop). The drop takes the link action where
// the source offers it, else copy.
//
// The link reaches the box after the drop has completed, posted to the GUI thread: a listener that
// asks a question in a window of its own must not hold the program the drag came from.
//
// One target per box widget while link dropping is on (GUI thread only). Drags over any widget
// inside the box are routed to the nearest target above them by one application event filter,
// which sees them before the widget does.
class UrlDropTarget final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(UrlDropTarget, "s_gui_os_UrlDropTarget")
public:
    UrlDropTarget() = default;

    // Switches link dropping of a box's widget on (a fresh target) or off (its target released).
    // Switching on again keeps the present target. A target goes with its widget.
    static void enable(QWidget* widget, BoxBase* owner, bool on);
    // The target of a widget, or null.
    static UrlDropTarget* of(const QWidget* widget);

    // The link a drag carries, or nothing when it carries none that is taken.
    static std::optional<std::u16string> linkOf(const QMimeData* data);

    // The drag-and-drop steps of the target (GUI thread): enter and move answer with the link
    // action, or copy, or refuse; drop takes the link and posts it to the box. True when taken.
    bool dragOver(QDropEvent* event);
    bool drop(QDropEvent* event);

    // The last link dropped here.
    const std::u16string& getText() const { return m_text; }
    BoxBase* getOwner() const { return m_owner; }
    QWidget* getWidget() const { return m_widget.data(); }

    void reset() override;

private:
    void attach(QWidget* widget, BoxBase* owner);

    std::u16string m_text;
    BoxBase* m_owner { nullptr };
    QPointer<QWidget> m_widget;
    // Told apart from an earlier life of the same object: a posted link checks it.
    uint64_t m_generation { 0 };
};

}
