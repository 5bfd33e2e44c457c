#include "gui/os/MessageBoxW.h"

#include "gui/IWindow.h"
#include "gui/os/Bound.h"
#include "gui/os/Window.h"

#include <QMessageBox>

namespace s::gui::os {

namespace {

QWidget* ownerWidget(IWindow* owner)
{
    auto* window = dynamic_cast<Window*>(owner);
    return window ? window->widget() : nullptr;
}

QString captionOf(IWindow* owner)
{
    auto* window = dynamic_cast<Window*>(owner);
    return window ? toQString(window->getTitle()) : QStringLiteral("Fetchwick");
}

QMessageBox::StandardButton run(QMessageBox::Icon icon, const QString& caption, std::u16string_view text,
    QMessageBox::StandardButtons buttons, IWindow* owner)
{
    return onUiThread([&] {
        // The owner's teardown waits while the box is open.
        Window::ModalScope scope(dynamic_cast<Window*>(owner));
        QMessageBox box(icon, caption, toQString(text), buttons, ownerWidget(owner));
        return static_cast<QMessageBox::StandardButton>(box.exec());
    });
}

}

void MessageBoxW::info(std::u16string_view text, IWindow* owner)
{
    run(QMessageBox::Information, captionOf(owner), text, QMessageBox::Ok, owner);
}

void MessageBoxW::warn(std::u16string_view text, IWindow* owner, std::u16string_view caption)
{
    run(QMessageBox::Warning, caption.empty() ? captionOf(owner) : toQString(caption), text, QMessageBox::Ok, owner);
}

void MessageBoxW::error(std::u16string_view text, IWindow* owner)
{
    run(QMessageBox::Critical, QStringLiteral("Error!"), text, QMessageBox::Ok, owner);
}

bool MessageBoxW::askYesNo(std::u16string_view text, IWindow* owner)
{
    return run(QMessageBox::Question, captionOf(owner), text, QMessageBox::Yes | QMessageBox::No, owner) == QMessageBox::Yes;
}

bool MessageBoxW::askYesNoCancel(std::u16string_view text, bool& yes, IWindow* owner)
{
    QMessageBox::StandardButton answer = run(QMessageBox::Question, captionOf(owner), text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, owner);
    yes = answer == QMessageBox::Yes;
    return answer != QMessageBox::Cancel && answer != QMessageBox::NoButton;
}

}
