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

QFont toQFont(const FontDescription& wanted)
{
    QFont font = QApplication::font();
    if (!wanted.face.empty())
        font.setFamily(toQString(wanted.face));
    font.setPointSize(wanted.points);
    font.setWeight(wanted.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

QSize measureText(const FontDescription& wanted, std::u16string_view text)
{
    return onUiThread([&] {
        QFontMetrics metrics(toQFont(wanted));
        return QSize(metrics.horizontalAdvance(toQString(text)), metrics.height());
    });
}

void showCreationFailure()
{
    onUiThread([] { QMessageBox::warning(nullptr, QStringLiteral("Error!"), QStringLiteral("Window Creation Failed!")); });
}

}
