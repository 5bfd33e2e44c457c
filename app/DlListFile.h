#pragma once

#include "engine/DlThread.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace s::video::gui::dialogs::videodl {

// The download list between two runs: "DlList.dat" in the user's data folder, an XML document
// with the program that wrote it, the main window's login boxes and one element per list entry.
// Logins are letter-coded with a password made from the entry count and the writer's identity
// texts, so the file stays readable after a change of language or version.
//
// The file holds site logins: it and its folder are private to the user. A save replaces the old
// file as a whole or not at all.
class DlListFile {
public:
    // A damaged "length" never makes a start read more entries than this.
    static constexpr int32_t maxEntries = 100000;
    static constexpr int32_t formatVersion = 1;

    struct Generator {
        std::u16string application;
        std::u16string version;
        std::u16string url;
    };

    struct Logins {
        std::u16string id;
        std::u16string password;
    };

    // $XDG_DATA_HOME/Pellix/Fetchwick/DlList.dat ($HOME/.local/share when unset).
    static std::u16string defaultPath();

    // The password that letter-codes the logins of a file with `length` entries.
    static std::u16string listPassword(int32_t length, const Generator& generator);

    // The whole document for these jobs, in row order (compact, no declaration).
    static std::u16string toText(const std::u16string& path, const Generator& generator, const Logins& view,
        std::span<DlThread* const> jobs);

    // Writes the list; true when the new file replaced the old one. On any failure the old file
    // is left as it was.
    static bool write(const std::u16string& path, const Generator& generator, const Logins& view,
        std::span<DlThread* const> jobs);

    struct Contents {
        // The login boxes' texts, each only when the file had one.
        std::u16string viewId;
        std::u16string viewPassword;
        bool hasViewId { false };
        bool hasViewPassword { false };
        // Fresh jobs with the stored fields, in file order; nothing started.
        std::vector<thread::Pooled<DlThread>> jobs;
        // One more than the largest stored "Index" (at least 1).
        int32_t nextIndex { 1 };
    };

    // Reads the list; false (and nothing in `out`) when there is no file there.
    static bool read(const std::u16string& path, Contents& out);
    // Reads a document from its text.
    static void fromText(std::u16string_view text, Contents& out);

    // Percent done as stored: × 1000, truncated toward zero, saturated; -1.0 gives -1000.
    static int32_t storedPercent(double percent);
};

}
