#pragma once

#include "gui/FontDescription.h"
#include "gui/IContainer.h"
#include "gui/GuiThread.h"
#include "gui/os/UIThread.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <cstdint>

namespace s::gui::os {

QColor toQColor(uint32_t rgb);
QString toQString(std::u16string_view text);
std::u16string fromQString(const QString& text);
void showCreationFailure();
QFont toQFont(const FontDescription& wanted);
// The size of one line of text in that font (GUI thread).
QSize measureText(const FontDescription& wanted, std::u16string_view text);

// The Qt side of a component: one QWidget made on the GUI thread under the parent's widget and
// placed with setGeometry by the toolkit's own layouts. Base is the platform-free component class
// (Component, BoxBase, ...); every hook runs on the GUI thread.
template<class Base>
class Bound : public Base {
public:
    void* getNativeHandle() const override { return m_widget.data(); }
    QWidget* widget() const { return m_widget.data(); }

    // Creation and destruction run on the GUI thread as one request, so the whole tree of a box
    // is made there in one go.
    bool create(IContainer* parent) override
    {
        return onUiThread([&] { return Base::create(parent); });
    }

protected:
    // Makes the widget under the parent's widget (null for a top-level window).
    virtual QWidget* makeWidget(QWidget* parent) = 0;
    // The widget whose colours and font the component sets; by default the widget.
    virtual QWidget* styledWidget() const { return m_widget.data(); }

    bool platformCreate() override
    {
        QWidget* parentWidget = this->m_parent ? static_cast<QWidget*>(this->m_parent->getNativeHandle()) : nullptr;
        m_widget = makeWidget(parentWidget);
        if (!m_widget) {
            showCreationFailure();
            return false;
        }
        return true;
    }

    void platformDestroy() override
    {
        onUiThread([&] {
            QWidget* w = m_widget.data();
            m_widget.clear();
            delete w;
        });
    }

    // A hidden component's widget waits off-screen at its size; showing puts it back where the
    // component is. Placing never changes whether a widget shows.
    void platformPlace(int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        onUiThread([&] {
            if (!m_widget)
                return;
            m_widget->setGeometry(this->m_visible ? x : Base::HiddenX, y, w, h);
        });
    }

    void platformShow(bool show) override
    {
        onUiThread([&] {
            if (!m_widget)
                return;
            if (show) {
                m_widget->setGeometry(this->m_originX + this->m_x, this->m_originY + this->m_y, this->m_width, this->m_height);
                m_widget->show();
            } else {
                m_widget->hide();
                m_widget->move(Base::HiddenX, m_widget->y());
            }
        });
    }

    void platformEnable(bool on) override
    {
        onUiThread([&] {
            if (m_widget)
                m_widget->setEnabled(on);
        });
    }

    void platformRepaint(int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        onUiThread([&] {
            if (!m_widget)
                return;
            if (w < 0)
                m_widget->update();
            else
                m_widget->update(x, y, w, h);
        });
    }

    void platformStyle() override
    {
        onUiThread([&] {
            QWidget* target = styledWidget();
            if (!target)
                return;
            QPalette palette = target->palette();
            QColor background = toQColor(this->getBackgroundColour());
            palette.setColor(QPalette::Window, background);
            QColor text = toQColor(this->m_textColour);
            palette.setColor(QPalette::WindowText, text);
            palette.setColor(QPalette::ButtonText, text);
            target->setPalette(palette);
            target->setAutoFillBackground(!this->m_transparent);
            target->setFont(toQFont(this->m_font));
            applyStyle();
        });
    }

    bool platformScreenOrigin(int32_t& x, int32_t& y) const override
    {
        return onUiThread([&] {
            if (!m_widget)
                return false;
            QPoint p = m_widget->mapToGlobal(QPoint(0, 0));
            x = p.x();
            y = p.y();
            return true;
        });
    }

    // Further looks of a leaf (flags) after the colours and the font were set.
    virtual void applyStyle() { }

    // A new font shows at once and may change a caption's size.
    void fontChanged() override
    {
        if (this->m_created)
            platformStyle();
        this->textChanged();
    }

    QPointer<QWidget> m_widget;
};

}
