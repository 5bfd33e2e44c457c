#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace s::file::os {

// Replaces a file's whole content in one step: a reader, or the next start after a crash, a
// power cut or a full disk, finds either the old file or the new one, never a mixture or a
// truncated file.
//
// The new content goes into a temporary file beside the target (target + ".tmp", so the rename
// stays within one file system), is written in full, checked and flushed to the disk, and only
// then renamed over the target; the folder is flushed after the rename. The temporary is
// renamed only by the writer that created it and only after its write succeeded. A temporary
// left by a crashed writer is removed first, never moved. Two writers of one target take turns
// on the temporary (an advisory lock held from its creation to its rename), so neither can
// rename the other's half-written file.
//
// A target that is a symbolic link keeps the link: the file it points to is replaced.
class AtomicFile {
public:
    // The temporary used for a target.
    static std::string temporaryPathFor(std::string_view target);

    // Writes data as the new content of target. `mode` holds the permission bits of a new file
    // (the process's umask still applies); a file that exists keeps its own bits, narrowed to
    // `mode` (0600 makes a file private to its owner whatever it was before). The folder must
    // exist. False on any failure, with errno telling why; the target is then unchanged and no
    // temporary is left behind.
    static bool replace(const std::string& target, const void* data, size_t size, mode_t mode = 0666);
};

}
