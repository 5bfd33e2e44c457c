#pragma once

#include "formats/reg/HiveKey.h"
#include "formats/reg/ValueType.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace s::reg::os {

using ValueType = reg::ValueType;

// One registry hive held in memory and kept in a file in the text form of a registry export
// (HiveText). The file is read when first used and again whenever another process has replaced
// it; every change is written at once as a whole new file (AtomicFile, mode 0600), under an
// advisory lock on a lock file beside it, so that two processes never interleave their changes.
//
// A file that exists but cannot be read (no permission, an I/O error) is never overwritten:
// every change fails (false, and a message on stderr) until it can be read again, so a passing
// fault cannot cost the user every setting. No change is written without the lock either.
class Hive {
public:
    using Key = reg::HiveKey;
    using Value = reg::HiveKey::Value;

    // The hive of the current user: $XDG_CONFIG_HOME/Pellix/registry.reg (default ~/.config).
    // One object per file for the whole process.
    static Hive& user();
    static Hive& forFile(const std::string& path);

    const std::string& path() const { return m_path; }

    // Key paths are full ("HKEY_CURRENT_USER\Software\..."), separated by "\" (or "/").
    bool keyExists(std::u16string_view keyPath);
    bool createKey(std::u16string_view keyPath);
    bool deleteKey(std::u16string_view keyPath); // with every subkey
    bool queryValue(std::u16string_view keyPath, std::u16string_view name, ValueType& type, std::vector<uint8_t>& data);
    bool hasValue(std::u16string_view keyPath, std::u16string_view name);
    // Creates the key when missing.
    bool setValue(std::u16string_view keyPath, std::u16string_view name, ValueType type, const void* data, uint32_t size);
    bool deleteValue(std::u16string_view keyPath, std::u16string_view name);
    // Names of the direct subkeys, in file order.
    bool subkeyNames(std::u16string_view keyPath, std::vector<std::u16string>& names);

    explicit Hive(std::string path);

private:
    // Rereads the file when it is not the one last read or written. False when the file exists
    // but could not be read: the tree then still holds what was read before.
    bool refresh();
    bool writeFile();
    Key* find(std::u16string_view keyPath);
    Key* findOrCreate(std::u16string_view keyPath);
    // Tells the user once per fault why changes are not being saved.
    void report(const char* what, int error);

    template<class Change>
    bool change(Change&& apply);

    std::string m_path;
    std::recursive_mutex m_mutex;
    Key m_top; // its subkeys are the roots
    bool m_loaded { false };
    // Identity of the file as last read or written: device, inode, size, modification time.
    uint64_t m_fileStamp[5] {};
    // The fault last reported, so a run of failing changes says it once.
    int m_reportedError { 0 };
};

}
