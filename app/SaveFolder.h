#pragma once

#include <string>

namespace s::app {

// Where new downloads go: the user's videos folder (from the desktop's user-dirs settings, the
// home folder when none is set) with the localized "Downloads" name below it, unless the user
// chose another folder.
class SaveFolder {
public:
    // The videos folder named in $XDG_CONFIG_HOME/user-dirs.dirs; $HOME when it is not named,
    // names the home folder itself (the desktop's way of switching it off) or is not absolute.
    static std::u16string videosFolder();

    // videosFolder() + "/" + the localized folder name. The folder is not created.
    static std::u16string defaultFolder(std::u16string_view downloadsName);

    // The folder to use for a stored choice: the stored folder when it is an absolute path that
    // is not a file (made, with missing parents, when it does not exist yet; a failure there is
    // not reported), else the default folder.
    static std::u16string resolve(std::u16string_view stored, std::u16string_view defaultFolder);
};

}
