// Draws the program's pictures into data/images/: the icon in the sizes desktops use (from the
// hand-written fetchwick.svg) and the two 700 x 230 banners of the about window. The results are
// committed; run this again after changing the drawing:
//
//   cmake --build build --target render-pictures && build/tools/render-pictures/render-pictures data/images

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QImage renderIcon(QSvgRenderer& svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    return image;
}

// A banner: a calm gradient, soft diagonal light, the icon and the name with a short line.
QImage renderBanner(QSvgRenderer& svg, QColor top, QColor bottom, QColor accent, const QString& line)
{
    QImage image(700, 230, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 230);
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillRect(image.rect(), fill);

    QPainterPath light;
    light.moveTo(380, 0);
    light.lineTo(700, 0);
    light.lineTo(700, 230);
    light.lineTo(520, 230);
    light.closeSubpath();
    painter.fillPath(light, QColor(255, 255, 255, 18));
    painter.fillRect(QRect(0, 222, 700, 8), accent);

    svg.render(&painter, QRectF(40, 35, 150, 150));

    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(64);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(Qt::white);
    painter.drawText(QRect(220, 50, 460, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Fetchwick"));

    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(22);
    painter.setFont(small);
    painter.setPen(QColor(230, 240, 255));
    painter.drawText(QRect(224, 130, 460, 40), Qt::AlignLeft | Qt::AlignVCenter, line);
    return image;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render-pictures DATA_IMAGES_FOLDER\n");
        return 2;
    }
    QString folder = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer svg(folder + QStringLiteral("/fetchwick.svg"));
    if (!svg.isValid()) {
        std::fprintf(stderr, "render-pictures: cannot read fetchwick.svg\n");
        return 1;
    }
    bool ok = true;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        ok = renderIcon(svg, size).save(folder + QStringLiteral("/fetchwick-%1.png").arg(size), "PNG") && ok;
    ok = renderBanner(svg, QColor(58, 62, 70), QColor(28, 30, 34), QColor(0, 170, 0), QStringLiteral("Videos and music from web pages"))
             .save(folder + QStringLiteral("/banner1.jpg"), "JPEG", 90)
        && ok;
    ok = renderBanner(svg, QColor(40, 110, 200), QColor(16, 60, 130), QColor(154, 206, 2),
             QStringLiteral("Paste a link, get the file"))
             .save(folder + QStringLiteral("/banner2.jpg"), "JPEG", 90)
        && ok;
    return ok ? 0 : 1;
}
