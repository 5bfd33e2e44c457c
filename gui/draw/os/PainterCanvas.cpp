#include "gui/draw/os/PainterCanvas.h"

#include "gui/os/Bound.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace s::gui::draw::os {

namespace {

QColor toColour(Colour c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

QRect toRect(const Rect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

int alignmentOf(uint32_t format)
{
    int flags = 0;
    flags |= (format & TextFormat::HCentre) ? Qt::AlignHCenter : (format & TextFormat::Right) ? Qt::AlignRight : Qt::AlignLeft;
    flags |= (format & TextFormat::VCentre) ? Qt::AlignVCenter : Qt::AlignTop;
    if (format & TextFormat::WordBreak)
        flags |= Qt::TextWordWrap;
    else
        flags |= Qt::TextSingleLine;
    return flags;
}

}

PainterCanvas::PainterCanvas(QPainter& painter)
    : m_painter(painter)
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
}

PainterCanvas::~PainterCanvas()
{
    m_painter.restore();
}

QFont PainterCanvas::fontFor(const FontDescription& font)
{
    QFont q = gui::os::toQFont(font);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

void PainterCanvas::fill(const Rect& r, Colour colour)
{
    if (r.isEmpty() || !isSet(colour))
        return;
    m_painter.fillRect(toRect(r), toColour(colour));
}

void PainterCanvas::drawText(const Rect& r, std::u16string_view text, const FontDescription& font, Colour colour, uint32_t format)
{
    if (r.isEmpty() || text.empty() || !isSet(colour))
        return;
    const QFont q = fontFor(font);
    m_painter.setFont(q);
    m_painter.setPen(toColour(colour));
    QString shown = gui::os::toQString(text);
    if ((format & TextFormat::EndEllipsis) && !(format & TextFormat::WordBreak))
        shown = QFontMetrics(q).elidedText(shown, Qt::ElideRight, r.width());
    m_painter.drawText(toRect(r), alignmentOf(format), shown);
}

Size PainterCanvas::measureText(std::u16string_view text, const FontDescription& font, uint32_t format, int32_t maxWidth)
{
    const QFontMetrics metrics(fontFor(font));
    const QString q = gui::os::toQString(text);
    if ((format & TextFormat::WordBreak) && maxWidth > 0) {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, maxWidth, 100000), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, q);
        return { bounds.width(), bounds.height() };
    }
    return { metrics.horizontalAdvance(q), metrics.height() };
}

void PainterCanvas::drawPicture(const Rect& r, const Picture& picture, bool blend)
{
    if (r.isEmpty() || picture.isEmpty())
        return;
    // The pixels are wrapped, not copied; without blending the alpha channel is ignored.
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width, picture.height, picture.width * 4,
        blend ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    m_painter.drawImage(toRect(r), image);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

void PainterCanvas::setClip(const Rect& r)
{
    m_painter.setClipRect(toRect(r), Qt::IntersectClip);
}

void PainterCanvas::clearClip()
{
    // Back to what the painter had when the canvas began (a widget's paint region, say).
    m_painter.restore();
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
}

}
