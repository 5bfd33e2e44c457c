#pragma once

#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Keeps what a job names and deletes inside its download folder. A tool's output is not ours:
// a page title can carry a whole line of the tool's own wording ("x [download] Destination:
// ../../.bashrc"), and a list file can be edited by hand, so neither a name from a tool nor a
// stored path may lead anywhere else.
//
// Both checks see a path the way the system will: after the separators, and after the symbolic
// links of the folders on the way (a link inside the folder that points out counts as out).
class DownloadFolder {
public:
    // Whether a file name reported by a tool may become the job's file name: not empty, not
    // absolute, no ".." part (with "/" or "\" as separators), and `dir` joined with it does not
    // resolve outside `dir`. With `dir` empty, relative or not (yet) there, only the name itself
    // is looked at: nothing in such a folder can lead elsewhere, and nothing of such a job is
    // ever deleted.
    static bool acceptsName(std::u16string_view dir, std::u16string_view name);

    // Whether a file of the job may be deleted: `dir` is absolute and exists, `path` is `dir`, a
    // separator and a name that acceptsName would take, and the path resolves inside `dir`.
    static bool holds(std::u16string_view dir, std::u16string_view path);
};

}
