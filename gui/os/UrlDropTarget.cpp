#include "gui/os/UrlDropTarget.h"

#include "gui/BoxBase.h"
#include "gui/DroppedLink.h"
#include "gui/os/Box.h"
#include "gui/os/UIThread.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include <atomic>
#include <cassert>
#include <span>
#include <unordered_map>

namespace s::gui::os {

namespace {

constexpr const char* MozUrlFormat = "text/x-moz-url";
constexpr const char* UriListFormat = "text/uri-list";

std::atomic<uint64_t> g_generations { 0 };

std::span<const uint8_t> bytesOf(const QByteArray& data)
{
    return { reinterpret_cast<const uint8_t*>(data.constData()), static_cast<size_t>(data.size()) };
}

// Sees every drag event of the application before its widget does and hands the ones over a box
// with a link drop target to that target. Other drags (and every other event) go on as usual.
class UrlDropRouter : public QObject {
public:
    static UrlDropRouter& instance()
    {
        static auto* router = [] {
            auto* r = new UrlDropRouter();
            QCoreApplication::instance()->installEventFilter(r);
            return r;
        }();
        return *router;
    }

    std::unordered_map<const QWidget*, UrlDropTarget*> targets;

    UrlDropTarget* targetAbove(QWidget* widget) const
    {
        for (QWidget* w = widget; w; w = w->parentWidget()) {
            auto it = targets.find(w);
            if (it != targets.end())
                return it->second;
            if (w->isWindow())
                break;
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        if (targets.empty() || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        UrlDropTarget* target = targetAbove(widget);
        if (!target)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        bool taken = type == QEvent::Drop ? target->drop(drop) : target->dragOver(drop);
        if (taken)
            return true;
        // Not a link. A box decides on files itself. Text, files and refused links do not reach
        // the other widgets inside a link box (a text field would take them as text): the drag
        // goes on to the widgets above, and is refused unless a box takes its files. Drags of
        // other kinds (a list moving its own rows) go on as usual.
        if (dynamic_cast<BoxWidget*>(widget))
            return false;
        const QMimeData* data = drop->mimeData();
        if (!data || (!data->hasText() && !data->hasUrls()))
            return false;
        drop->ignore();
        return true;
    }
};

}

void UrlDropTarget::enable(QWidget* widget, BoxBase* owner, bool on)
{
    assert(UIThread::instance().isCurrent());
    if (!widget)
        return;
    UrlDropRouter& router = UrlDropRouter::instance();
    auto it = router.targets.find(widget);
    if (on) {
        if (it != router.targets.end())
            return;
        UrlDropTarget* target = UrlDropTarget::get();
        target->attach(widget, owner);
        router.targets.emplace(widget, target);
        QObject::connect(widget, &QObject::destroyed, &router, [widget] { enable(widget, nullptr, false); });
        return;
    }
    if (it == router.targets.end())
        return;
    UrlDropTarget* target = it->second;
    router.targets.erase(it);
    target->release();
}

UrlDropTarget* UrlDropTarget::of(const QWidget* widget)
{
    UrlDropRouter& router = UrlDropRouter::instance();
    auto it = router.targets.find(widget);
    return it == router.targets.end() ? nullptr : it->second;
}

void UrlDropTarget::attach(QWidget* widget, BoxBase* owner)
{
    m_widget = widget;
    m_owner = owner;
    m_generation = ++g_generations;
}

std::optional<std::u16string> UrlDropTarget::linkOf(const QMimeData* data)
{
    // Only the two link formats count; plain text is refused by its format, not by its content.
    if (!data)
        return std::nullopt;
    if (data->hasFormat(MozUrlFormat)) {
        if (auto link = DroppedLink::fromMozUrl(bytesOf(data->data(MozUrlFormat))))
            return link;
    }
    if (data->hasFormat(UriListFormat))
        return DroppedLink::fromUriList(bytesOf(data->data(UriListFormat)));
    return std::nullopt;
}

namespace {

// The link action where the source offers it, else copy (when offered), else what it proposes.
void chooseAction(QDropEvent* event)
{
    if (event->possibleActions() & Qt::LinkAction)
        event->setDropAction(Qt::LinkAction);
    else if (event->possibleActions() & Qt::CopyAction)
        event->setDropAction(Qt::CopyAction);
    else
        event->setDropAction(event->proposedAction());
    event->accept();
}

}

bool UrlDropTarget::dragOver(QDropEvent* event)
{
    if (!linkOf(event->mimeData()))
        return false;
    chooseAction(event);
    return true;
}

bool UrlDropTarget::drop(QDropEvent* event)
{
    std::optional<std::u16string> link = linkOf(event->mimeData());
    if (!link)
        return false;
    chooseAction(event);
    m_text = std::move(*link);
    // The box hears once the drop has returned to the program the drag came from.
    QPointer<QWidget> widget = m_widget;
    uint64_t generation = m_generation;
    std::u16string text = m_text;
    UIThread::instance().post([widget, generation, text = std::move(text)] {
        if (!widget)
            return;
        UrlDropTarget* target = UrlDropTarget::of(widget.data());
        if (!target || target->m_generation != generation || !target->m_owner)
            return;
        target->m_owner->linkDropped(text);
    });
    return true;
}

void UrlDropTarget::reset()
{
    m_text.clear();
    m_owner = nullptr;
    m_widget.clear();
    m_generation = 0;
}

}
