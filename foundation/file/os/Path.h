#pragma once

#include "foundation/file/IPath.h"
#include "foundation/file/os/FileInputStream.h"
#include "foundation/file/os/FileOutputStream.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/IPoolable.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace s::file::os {

class PathArray;

// A Linux path. Normalisation: "/" is the separator, repeated separators become one, trailing
// ones are removed (the root stays "/"); no "." or ".." is resolved. Parts: the drive is always
// empty, the folder is everything up to and including the last "/", the extension starts at the
// last "." of the final part unless that dot begins it (".bashrc" is a name, not an extension).
// A path is valid when it is not empty and holds no NUL. The system sees the UTF-8 form.
//
// The root, and any path that leads to it ("/.", "/.."), is refused by createDirectory,
// remove and moveTo, as a drive is on other systems.
class Path final : public IPath
    , public thread::IPoolable {
    S_POOLED_CLASS(Path, "s_file_os_Path")
public:
    Path() = default;
    ~Path() override = default;

    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    static thread::Pooled<Path> make(std::u16string_view text);
    // text and suffix joined, for example a file name and ".tmp".
    static thread::Pooled<Path> make(std::u16string_view text, std::u16string_view suffix);
    static thread::Pooled<Path> makeUtf8(std::string_view text);

    bool set(std::u16string_view text) override;
    bool setUtf8(std::string_view text);
    bool isValid() const override { return m_valid; }

    const str::StrBuffer& text() const override { return m_text; }
    const str::StrBuffer& fullPath() const override { return m_normal; }
    const str::StrBuffer& platformPath() const override { return m_normal; }
    // The normalised path as UTF-8 bytes, as system calls take it.
    const std::string& nativePath() const { return m_native; }

    const str::StrBuffer& drive() const override { return m_drive; }
    const str::StrBuffer& directory() const override { return m_directory; }
    const str::StrBuffer& fileName() const override { return m_fileName; }
    const str::StrBuffer& extension() const override { return m_extension; }

    bool exists() const override;
    bool isDirectory() override;
    bool isFile() override;
    int64_t size(bool recursive = false) override;
    // Bytes the file takes on disk (whole blocks), -1 for a path that does not exist.
    int64_t sizeOnDisk();

    // The folder this path is in: the text before the last "/" ("/" for "/a"); an empty,
    // invalid path when there is none.
    thread::Pooled<Path> parent() const;
    // True for "/" and for any path that resolves to the root folder.
    bool isRoot() const;

    bool createDirectory(bool notify = false) override;
    bool ensureParentExists() override;
    // scheduleOnReboot has no counterpart here: a path that cannot be deleted stays.
    bool remove(bool notify = false, bool scheduleOnReboot = false) override;
    bool moveTo(std::u16string_view target, bool replace = false, bool notify = false) override;

    // A stream without a file when the open fails.
    thread::Pooled<FileInputStream> openForReading() const;
    // Creates the parent folder when missing. A stream without a file when the open fails.
    thread::Pooled<FileOutputStream> openForWriting(bool append = false);

    bool readAll(col::_array::ArrayU08& out) override;
    bool writeAll(const col::_array::ArrayU08& data, bool append = false) override;
    bool writeAll(const void* data, uint64_t count, bool append = false) override;
    bool writeText(const str::StrBuffer& text, bool append = false) override;

    // Appends the folder's entries (files and folders, without "." and ".."), each folder's
    // entries in byte order of their names; recursive lists inside sub-folders too, right after
    // each folder (symbolic links to folders are listed, not entered). False when the folder
    // cannot be read.
    bool list(PathArray& out, bool recursive = false) const;

    // Values compare by their normalised text, letter case included.
    int compare(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    bool equals(const base::IComparable* other, const base::IComparator* comparator = nullptr) const override;
    uint32_t hash() const override;

    void reset() override;

private:
    struct Info {
        bool loaded { false };
        bool found { false };
        bool directory { false };
        int64_t size { -1 };
        int64_t sizeOnDisk { -1 };
    };

    void normalise();
    void split();
    const Info& info();

    str::StrBuffer m_text;
    str::StrBuffer m_normal;
    str::StrBuffer m_drive;
    str::StrBuffer m_directory;
    str::StrBuffer m_fileName;
    str::StrBuffer m_extension;
    std::string m_native;
    Info m_info;
    bool m_valid { false };
};

}
