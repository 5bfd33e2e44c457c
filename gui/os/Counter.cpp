#include "gui/os/Counter.h"

#include "gui/draw/os/PainterCanvas.h"
#include "gui/drawer/counter/Basic.h"
#include "gui/drawer/skin/SkinBase.h"

#include <QImage>
#include <QPainter>

namespace s::gui::os {

namespace {

class CounterWidget final : public BoxWidget {
public:
    CounterWidget(Counter* counter, QWidget* parent)
        : BoxWidget(counter, parent)
        , m_counter(counter)
    {
    }

    void detachCounter()
    {
        m_counter = nullptr;
        detach();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_counter) {
            // The graph goes into an image of the client size first, made again when the size
            // changes, and reaches the widget in one copy.
            if (m_cache.size() != size())
                m_cache = QImage(size(), QImage::Format_RGB32);
            if (!m_cache.isNull()) {
                QPainter offscreen(&m_cache);
                m_counter->paintWith(offscreen, width(), height());
                offscreen.end();
                QPainter painter(this);
                painter.drawImage(0, 0, m_cache);
            }
        }
        BoxWidget::paintEvent(event);
    }

private:
    Counter* m_counter;
    QImage m_cache;
};

}

Counter::Counter()
{
    reset();
}

Counter::~Counter()
{
    forgetToken();
}

void Counter::reset()
{
    forgetToken();
    m_skinLink.detach();
    m_drawerFromProgram = false;
    Box::reset();
    m_layoutType = Pile;
    m_kind = 0;
    m_insetLeft = m_insetTop = m_insetRight = m_insetBottom = 0;
    m_showSecond = false;
    m_swapped = false;
    m_main->reset();
    m_second->reset();
    takeDrawer(drawer::counter::Basic::get(), true);
    m_token = std::make_shared<Token>();
    m_token->view = this;
    m_main->addView(this);
    m_second->addView(this);
}

void Counter::forgetToken()
{
    // First no new announcement reaches this graph, then posted ones find nobody.
    m_main->removeView(this);
    m_second->removeView(this);
    if (m_token)
        m_token->view = nullptr;
}

QWidget* Counter::makeWidget(QWidget* parent)
{
    return new CounterWidget(this, parent);
}

void Counter::afterCreate()
{
    Box::afterCreate();
    followSkin();
}

void Counter::followSkin()
{
    if (m_drawerFromProgram)
        return;
    m_skinLink.attach(m_window, [this](drawer::skin::SkinBase& skin) { takeDrawer(skin.getCounter(), false); });
}

void Counter::beforeDestroy()
{
    m_skinLink.detach();
    if (auto* w = static_cast<CounterWidget*>(m_widget.data()))
        w->detachCounter();
    Box::beforeDestroy();
}

void Counter::pointCompleted(counter::CounterData*)
{
    // One repaint on its way is enough, however many points complete before it runs.
    std::shared_ptr<Token> token = m_token;
    if (!token || token->pending.exchange(true))
        return;
    UIThread::instance().post([token] {
        token->pending = false;
        if (Counter* view = token->view.load()) {
            ++token->repaints;
            view->repaint();
        }
    });
}

void Counter::paintWith(QPainter& painter, int32_t width, int32_t height)
{
    draw::os::PainterCanvas canvas(painter);
    canvas.fill(draw::Rect { 0, 0, width, height }, getBackgroundColour());
    if (!m_drawer)
        return;
    m_drawer->paint(canvas, m_insetLeft, m_insetTop, width - m_insetRight, height - m_insetBottom, m_kind, *m_main,
        m_showSecond ? m_second.get() : nullptr, m_swapped);
}

void Counter::setGraphKind(int32_t kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    repaint();
}

void Counter::setInsets(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    m_insetLeft = left;
    m_insetTop = top;
    m_insetRight = right;
    m_insetBottom = bottom;
    repaint();
}

void Counter::setShowSecond(bool on)
{
    if (on == m_showSecond)
        return;
    m_showSecond = on;
    repaint();
}

void Counter::toggleSwap()
{
    m_swapped = !m_swapped;
    repaint();
}

void Counter::setCounterDrawer(drawer::counter::Basic* drawer, bool own)
{
    if (m_created)
        onUiThread([&] { m_skinLink.detach(); });
    m_drawerFromProgram = drawer != nullptr;
    if (!drawer) {
        drawer = drawer::counter::Basic::get();
        own = true;
    }
    takeDrawer(drawer, own);
}

void Counter::takeDrawer(drawer::counter::Basic* drawer, bool own)
{
    auto swap = [&] {
        if (drawer == m_drawer) {
            m_ownsDrawer = m_ownsDrawer || own;
            return;
        }
        releaseDrawer();
        m_drawer = drawer;
        m_ownsDrawer = drawer && own;
    };
    if (m_created) {
        onUiThread(swap);
        repaint();
    } else {
        swap();
    }
}

void Counter::releaseDrawer()
{
    if (m_drawer && m_ownsDrawer)
        m_drawer->release();
    m_drawer = nullptr;
    m_ownsDrawer = false;
}

void Counter::setContent(IComponent* content)
{
    removeAll(true);
    if (content)
        add(content);
}

}
