#include "gui/os/Bound.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>

namespace s::gui::os {

QColor toQColor(uint32_t rgb)
{
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF), static_cast<int>((rgb >> 16) & 0xFF));
}

QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

std::u16string fromQString(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
}

QFont toQFont(const FontSpec& spec)
{
    QFont font = QApplication::font();
    if (!spec.face.empty())
        font.setFamily(toQString(spec.face));
    font.setPointSize(spec.points);
    font.setWeight(spec.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

QSize measureText(const FontSpec& spec, std::u16string_view text)
{
    return onUiThread([&] {
        QFontMetrics metrics(toQFont(spec));
        return QSize(metrics.horizontalAdvance(toQString(text)), metrics.height());
    });
}

void showCreationFailure()
{
    onUiThread([] { QMessageBox::warning(nullptr, QStringLiteral("Error!"), QStringLiteral("Window Creation Failed!")); });
}

}
