#include "gui/os/Image.h"

#include <QLabel>
#include <QPixmap>

namespace s::gui::os {

QWidget* Image::makeWidget(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void Image::applyStyle()
{
    if (auto* label = static_cast<QLabel*>(m_widget.data()))
        label->setPixmap(m_image.isNull() ? QPixmap() : QPixmap::fromImage(m_image));
}

bool Image::take(QImage image)
{
    S_ON_GUI_THREAD(take(image));
    m_image = std::move(image);
    setNaturalSize(m_image.width(), m_image.height());
    if (m_created) {
        platformStyle();
        askParentToLayout();
    }
    return !m_image.isNull();
}

bool Image::loadFile(std::u16string_view path)
{
    return take(QImage(toQString(path)));
}

bool Image::loadData(std::span<const uint8_t> bytes)
{
    return take(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

void Image::reset()
{
    Component::reset();
    m_image = QImage();
}

}
