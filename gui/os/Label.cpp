#include "gui/os/Label.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>

namespace s::gui::os {

namespace {

class LabelWidget : public QLabel {
public:
    LabelWidget(Label* label, QWidget* parent)
        : QLabel(parent)
        , m_label(label)
    {
        setTextFormat(Qt::PlainText);
    }

protected:
    void enterEvent(QEnterEvent* event) override
    {
        QLabel::enterEvent(event);
        m_label->linkEntered(true);
    }
    void leaveEvent(QEvent* event) override
    {
        QLabel::leaveEvent(event);
        m_label->linkEntered(false);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_label->linkPressed();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_label->linkReleased(rect().contains(event->position().toPoint()));
        event->accept();
    }

private:
    Label* m_label;
};

}

QWidget* Label::makeWidget(QWidget* parent)
{
    return new LabelWidget(this, parent);
}

void Label::platformText()
{
    onUiThread([&] {
        if (auto* label = static_cast<QLabel*>(m_widget.data()))
            label->setText(toQString(m_text));
    });
}

void Label::applyStyle()
{
    auto* label = static_cast<QLabel*>(m_widget.data());
    if (!label)
        return;
    // Outside link mode the mouse goes through to the container below.
    label->setAttribute(Qt::WA_TransparentForMouseEvents, !m_link);
    label->setCursor(m_link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QFont font = label->font();
    font.setUnderline(m_link && m_linkState == 1);
    label->setFont(font);
    if (m_link) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, m_linkState == 2 ? QColor(0, 0, 128) : QColor(0, 0, 255));
        label->setPalette(palette);
    }
}

void Label::textChanged()
{
    if (!m_autoSize)
        return;
    QSize size = measureText(m_font, m_text);
    setNaturalSize(size.width() + 2, size.height());
    // The parent places its children by their sizes: it lays out again.
    if (m_created)
        askParentToLayout();
}

void Label::setTextFor(std::u16string_view text, int32_t milliseconds)
{
    onUiThread([&] {
        if (!m_savedText)
            m_savedText = m_text;
        setText(text);
        if (!m_textTimer) {
            m_textTimer = new QTimer();
            m_textTimer->setSingleShot(true);
            QObject::connect(m_textTimer, &QTimer::timeout, m_textTimer, [this] { restoreText(); });
        }
        m_textTimer->start(std::max(0, milliseconds));
    });
}

void Label::restoreText()
{
    if (!m_savedText)
        return;
    std::u16string previous = std::move(*m_savedText);
    m_savedText.reset();
    setText(previous);
}

void Label::setLink(bool on)
{
    S_ON_GUI_THREAD(setLink(on));
    if (on == m_link)
        return;
    m_link = on;
    m_linkState = 0;
    if (m_created)
        platformStyle();
}

void Label::linkEntered(bool inside)
{
    S_ON_GUI_THREAD(linkEntered(inside));
    if (!m_link)
        return;
    m_linkState = inside ? 1 : 0;
    platformStyle();
}

void Label::linkPressed()
{
    S_ON_GUI_THREAD(linkPressed());
    if (!m_link)
        return;
    m_linkState = 2;
    platformStyle();
}

void Label::linkReleased(bool inside)
{
    S_ON_GUI_THREAD(linkReleased(inside));
    if (!m_link)
        return;
    m_linkState = inside ? 1 : 0;
    platformStyle();
    if (!inside)
        return;
    if (m_opensLinks && !m_linkTarget.empty())
        QDesktopServices::openUrl(QUrl(toQString(m_linkTarget)));
    m_clickListeners.fire(this, Clicked);
}

void Label::reset()
{
    if (m_textTimer) {
        onUiThread([&] { delete m_textTimer; });
        m_textTimer = nullptr;
    }
    Component::reset();
    m_link = false;
    m_opensLinks = true;
    m_autoSize = true;
    m_linkState = 0;
    m_linkTarget.clear();
    m_savedText.reset();
    m_clickListeners.clear();
}

}
