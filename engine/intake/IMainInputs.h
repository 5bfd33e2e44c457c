#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// What link intake and the job commands read from and do to the main window: its link box, its
// options and login boxes, its download folder and entry counter, and its information boxes.
// Called on the GUI thread only.
class IMainInputs {
public:
    virtual ~IMainInputs() = default;

    virtual std::u16string linkText() = 0;
    virtual void setLinkText(std::u16string_view text) = 0;
    // Gives the link box the input focus with its whole text selected.
    virtual void focusLinkText() = 0;

    // "MP3 Only".
    virtual bool onlyMp3() = 0;
    // "require login?", and the texts of its "ID:" and "Password:" boxes.
    virtual bool requireLogin() = 0;
    virtual std::u16string loginId() = 0;
    virtual std::u16string loginPassword() = 0;
    // "Auto-Start from Clipboard".
    virtual bool autoStartFromClipboard() = 0;

    // The folder new jobs save into.
    virtual std::u16string downloadFolder() = 0;
    // The next entry number; every call counts one up.
    virtual int32_t takeNextIndex() = 0;

    // An information box with the language text `textId`, returning when the user closed it. The
    // window steps out of "Keep on Top" while it shows.
    virtual void showInformation(int32_t textId) = 0;
};

}
