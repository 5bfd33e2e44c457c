#pragma once

#include "foundation/base/IObject.h"
#include "foundation/str/StrBuffer.h"

#include <cstdint>
#include <string_view>

namespace s::col::_array {
class ArrayU08;
}

namespace s::file {

// One file-system path: its text, normalised and split into parts, with the file's information
// cached on first use and the file operations the program needs. Every operation reports
// success as a bool; the root folder is never created, deleted, moved or used as a move target.
class IPath : public base::IObject {
public:
    // Clears everything and takes text as the new path; true when it is a valid path.
    virtual bool set(std::u16string_view text) = 0;
    virtual bool isValid() const = 0;

    // The text as it was set.
    virtual const str::StrBuffer& text() const = 0;
    // The normalised path.
    virtual const str::StrBuffer& fullPath() const = 0;
    // The form handed to the system (the normalised path where no long form is needed).
    virtual const str::StrBuffer& platformPath() const = 0;

    // The parts: drive (empty where the system has none), folder (with its trailing separator),
    // file name without extension, and extension (with its dot).
    virtual const str::StrBuffer& drive() const = 0;
    virtual const str::StrBuffer& directory() const = 0;
    virtual const str::StrBuffer& fileName() const = 0;
    virtual const str::StrBuffer& extension() const = 0;

    // Asks the file system each time.
    virtual bool exists() const = 0;
    // These three come from the information cached on first use; set the path again for fresh ones.
    virtual bool isDirectory() = 0;
    virtual bool isFile() = 0;
    // Bytes; a folder's size is the sum over its contents when asked recursively, else 0;
    // -1 for a path that does not exist.
    virtual int64_t size(bool recursive = false) = 0;

    // Creates the folder and any missing ancestors; true also when it is already there.
    virtual bool createDirectory(bool notify = false) = 0;
    virtual bool ensureParentExists() = 0;
    // Deletes a file (also a read-only one) or a folder with everything in it. A path that does
    // not exist counts as deleted.
    virtual bool remove(bool notify = false, bool scheduleOnReboot = false) = 0;
    // Moves (renames) to target, across file systems too. Without replace an existing target
    // makes the move fail. The moved data and both folders are on disk when this returns true.
    virtual bool moveTo(std::u16string_view target, bool replace = false, bool notify = false) = 0;

    // The whole file into out (its count becomes the file's size).
    virtual bool readAll(col::_array::ArrayU08& out) = 0;
    // Creates (or appends to) the file, creating its folder when missing.
    virtual bool writeAll(const col::_array::ArrayU08& data, bool append = false) = 0;
    virtual bool writeAll(const void* data, uint64_t count, bool append = false) = 0;
    // The text as UTF-8 without byte-order mark.
    virtual bool writeText(const str::StrBuffer& text, bool append = false) = 0;
};

}
