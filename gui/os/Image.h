#pragma once

#include "foundation/thread/Pool.h"
#include "gui/Component.h"
#include "gui/os/Bound.h"

#include <QImage>

#include <cstdint>
#include <span>

namespace s::gui::os {

// A picture at its own size (PNG, JPEG, BMP, GIF or ICO data), letting the mouse through like a
// label.
class Image : public Bound<Component> {
    S_POOLED_CLASS(Image, "s_gui_os_Image")
public:
    Image() = default;

    // False when the data is no picture; the image then shows nothing.
    bool loadFile(std::u16string_view path);
    bool loadData(std::span<const uint8_t> bytes);
    bool isEmpty() const { return m_image.isNull(); }

    void reset() override;

protected:
    QWidget* makeWidget(QWidget* parent) override;
    void applyStyle() override;

private:
    bool take(QImage image);

    QImage m_image;
};

}
