#include "app/dialogs/About3.h"

#include "app/IAppBase.h"
#include "app/os/AppWindow.h"
#include "gui/os/Box.h"
#include "gui/os/Button.h"
#include "gui/os/Image.h"
#include "gui/os/Label.h"
#include "gui/os/Window.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <span>

namespace s::gui::dialogs {

namespace {

constexpr int32_t inset = 10;
constexpr int32_t bannerWidth = 700;
constexpr int32_t bannerHeight = 230;
constexpr int32_t iconSize = 64;
constexpr int32_t closeHeight = 20;
// A cross drawn by the font; the skin's drawer paints its own glyph for it where there is one.
constexpr char16_t crossText[] = u"\u2715";

uint8_t red(uint32_t c) { return static_cast<uint8_t>(c & 0xFF); }
uint8_t green(uint32_t c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
uint8_t blue(uint32_t c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

// A picture of the program at the size the window shows it, as PNG data for an image component.
QByteArray pictureAt(const QString& resource, int32_t width, int32_t height)
{
    QImage picture(resource);
    if (picture.isNull())
        return {};
    QImage scaled = picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    scaled.save(&buffer, "PNG");
    return bytes;
}

os::Image* imageOf(const QByteArray& bytes)
{
    os::Image* image = os::Image::get();
    image->loadData(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())));
    return image;
}

os::Label* label(std::u16string_view text, uint32_t colour = About3::textColour)
{
    os::Label* l = os::Label::get();
    l->setText(text);
    l->setTextColour(red(colour), green(colour), blue(colour));
    return l;
}

os::Label* link(std::u16string_view text, std::u16string_view target)
{
    os::Label* l = label(text, About3::linkColour);
    l->setLink(true);
    l->setLinkTarget(target);
    return l;
}

os::Box* row(int32_t gap)
{
    os::Box* b = os::Box::get();
    b->layoutHorizontal();
    b->alignMiddle();
    b->setHorizontalGap(gap);
    b->setWidthPercent(100, false);
    return b;
}

}

About3::~About3() = default;

void About3::reset()
{
    os::onUiThread([&] {
        closed();
        m_window.replace();
    });
    m_holder.replace();
    m_parent = nullptr;
    m_closeButton = nullptr;
    m_crossButton = nullptr;
    m_pageLink = nullptr;
    m_donationLink = nullptr;
    m_donationBox = nullptr;
    m_parentDisabled = false;
}

bool About3::isOpen() const
{
    return m_window && !m_window->isClosed() && m_window->isShown();
}

void About3::show(app::IAppBase& app, os::Window* parent)
{
    os::onUiThread([&] {
        if (isOpen()) {
            m_window->activate();
            return;
        }
        // 1. The holder once, the window at every opening.
        if (!m_holder)
            m_holder = app::os::AppWindow::create(&app, u"AboutWindow", app.softwareType(), creationWidth, creationHeight,
                app::os::AppWindow::actionClose);
        m_window.replace();
        m_donationBox = nullptr;
        m_parent = parent;
        build(app);

        // 2. The parent stays disabled while the window is open.
        if (m_parent) {
            m_parent->setEnabled(false);
            m_parentDisabled = true;
        }
        m_window->setKeepOnScreen(true);
        m_window->show(true, true);
        m_window->activate();
    });
}

void About3::build(app::IAppBase& app)
{
    m_window = os::Window::make();
    os::Window& w = *m_window;
    w.setMaximizeBox(false);
    w.setMinimizeBox(false);
    w.bindSettings(m_holder.get(), false);
    w.setTitle(app.text(titleId));
    w.setBackgroundColour(red(groundColour), green(groundColour), blue(groundColour));
    w.setTextColour(red(textColour), green(textColour), blue(textColour));
    w.setInset(inset);
    w.setVerticalGap(8);
    w.addCloseListener(this);

    int32_t width = creationWidth;
    int32_t inner = width - 2 * inset;

    // Header: the title and the cross that closes.
    os::Box* header = row(6);
    os::Label* title = label(app.text(titleId));
    title->setBold(true);
    header->add(title);
    os::Box* filler = row(0);
    filler->setWidthPercent(0, false);
    filler->fill();
    header->add(filler);
    m_crossButton = os::Button::get();
    m_crossButton->setText(crossText);
    m_crossButton->addClickListener(this);
    header->add(m_crossButton);
    w.add(header);

    // The banner across the whole width, the icon beside the program's name.
    int32_t bannerShownHeight = inner * bannerHeight / bannerWidth;
    w.add(imageOf(pictureAt(QStringLiteral(":/fetchwick/banner1.jpg"), inner, bannerShownHeight)));
    os::Box* identity = row(10);
    identity->add(imageOf(pictureAt(QStringLiteral(":/fetchwick/icon.png"), iconSize, iconSize)));
    os::Label* name = label(app.text(displayNameId));
    name->setFontCode(104);
    identity->add(name);
    w.add(identity);

    // Caption and value rows.
    struct Line {
        int32_t caption;
        int32_t value;
    };
    for (Line line : { Line { versionCaptionId, versionId }, Line { updatedCaptionId, updatedId }, Line { licenceCaptionId, licenceId } }) {
        os::Box* r = row(6);
        os::Label* caption = label(app.text(line.caption));
        caption->setBold(true);
        r->add(caption);
        r->add(label(app.text(line.value)));
        w.add(r);
    }
    os::Box* urlRow = row(6);
    os::Label* urlCaption = label(app.text(urlCaptionId));
    urlCaption->setBold(true);
    urlRow->add(urlCaption);
    std::u16string page = app.text(makerPageId);
    m_pageLink = link(page, page);
    urlRow->add(m_pageLink);
    w.add(urlRow);

    // The donation box, for freeware only.
    m_donationLink = nullptr;
    if (app.softwareType() == freewareType) {
        m_donationBox = os::Box::get();
        m_donationBox->setWidthPercent(100, false);
        m_donationBox->setInset(6);
        m_donationBox->setVerticalGap(2);
        m_donationBox->setBackgroundColour(red(donationGround), green(donationGround), blue(donationGround));
        m_donationBox->setBorderColour(red(donationBorder), green(donationBorder), blue(donationBorder));
        m_donationBox->add(label(app.text(donationQuestionId), 0x000000));
        m_donationLink = link(app.text(donationLinkId), app.text(donationPageId));
        m_donationBox->add(m_donationLink);
        w.add(m_donationBox);
    }

    m_closeButton = os::Button::get();
    m_closeButton->setText(app.text(closeTextId));
    m_closeButton->setAutoSize(false);
    m_closeButton->setMinSize(inner, closeHeight);
    m_closeButton->setMaxSize(inner, closeHeight);
    m_closeButton->setSize(inner, closeHeight);
    m_closeButton->addClickListener(this);
    w.add(m_closeButton);

    // The height the contents take, the width of the holder.
    int32_t height = 2 * inset;
    for (uint32_t i = 0; i < w.getChildCount(); ++i)
        height += w.getChild(i)->getMinHeight() + (i > 0 ? w.getVerticalGap() : 0);
    w.setSize(width, std::max(height, creationHeight));
    w.doLayout();
    // No resize border; this fixes the frame at its present size, so it comes last.
    w.setResizable(false);
}

void About3::close()
{
    os::onUiThread([&] {
        if (m_window)
            m_window->close();
    });
}

void About3::handle(base::IObject* sender, int32_t code)
{
    if (m_window && sender == m_window.get()) {
        if (code == os::Window::CloseRequested)
            closed();
        return;
    }
    if (sender == m_closeButton || sender == m_crossButton)
        m_window->close();
}

void About3::closed()
{
    if (!m_parentDisabled)
        return;
    m_parentDisabled = false;
    if (m_parent)
        m_parent->setEnabled(true);
}

}
