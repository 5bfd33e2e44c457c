#pragma once

#include <string>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// A site login handed to youtube-dl without putting it on the tool's command line, where every
// local user could read it (/proc/PID/cmdline) and where it would reach the log: the options go
// into a configuration file of the tool's own syntax, private to the user (mode 0600, in
// $XDG_RUNTIME_DIR), named with "--config-location FILE" and removed when the object goes.
class LoginFile {
public:
    LoginFile() = default;
    ~LoginFile() { remove(); }
    LoginFile(const LoginFile&) = delete;
    LoginFile& operator=(const LoginFile&) = delete;

    // Writes "--username" and "--password" (each only when not empty) into a new private file.
    // False, with no file left behind, when none could be written.
    bool create(std::u16string_view id, std::u16string_view password);

    // The file's path; empty before create and after remove.
    const std::string& path() const { return m_path; }

    void remove();

    // A value in the file's quoting: one word however it is spelled (spaces, quotes, "#").
    static std::string quote(std::string_view value);

    // The folder such files go into: $XDG_RUNTIME_DIR when it is a folder of ours, else a
    // private folder of ours under the temporary folder.
    static std::string folder();

private:
    std::string m_path;
};

}
