#include "app/UpdateHooks.h"

#include "app/IAppBase.h"
#include "app/dialogs/FlexAsker.h"
#include "gui/os/Bound.h"
#include "gui/os/UIThread.h"

#include <QDesktopServices>
#include <QUrl>

namespace s::app {

UpdateCheck::Hooks makeUpdateHooks(IAppBase& app, gui::os::Window* mainWindow)
{
    UpdateCheck::Hooks hooks;
    hooks.ask = [&app, mainWindow](const std::u16string& title, const std::u16string& message) {
        return gui::dialogs::FlexAsker::askOnce(app, mainWindow, title, message);
    };
    hooks.openUrl = [](const std::u16string& url) {
        QUrl link(gui::os::toQString(url));
        gui::os::onUiThread([link] { QDesktopServices::openUrl(link); });
    };
    return hooks;
}

}
