#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace s::reg::os {

// Value types, with the numbers the registry export format uses in "hex(n):".
enum class ValueType : uint32_t {
    None = 0,
    String = 1,       // REG_SZ: UTF-16LE text with its terminating NUL
    ExpandString = 2, // REG_EXPAND_SZ: the same, with $VAR / %VAR% references
    Binary = 3,       // REG_BINARY
    Dword = 4,        // REG_DWORD: 4 bytes, little-endian
    DwordBigEndian = 5,
    Link = 6,
    MultiString = 7,
    Qword = 11,
};

// One registry hive held in memory and kept in a file in the text form of a registry export:
//
//     Windows Registry Editor Version 5.00
//
//     [HKEY_CURRENT_USER\Software\Pellix\Fetchwick\SaveData]
//     @="default value"
//     "name"="text"
//     "count"=dword:0000000a
//     "blob"=hex:01,ab
//     "path"=hex(2):24,00,48,00,...
//
// Key and value names compare ignoring case and keep the case they were created with. The file
// is read when first used and again whenever another process has replaced it; every change is
// written at once through a temporary file, fsync and rename (mode 0600), under an advisory lock
// so that two processes never interleave their changes.
class Hive {
public:
    struct Value {
        std::u16string name; // empty for the default value "@"
        ValueType type { ValueType::None };
        std::vector<uint8_t> data;
    };
    struct Key {
        std::u16string name;
        std::vector<Value> values;
        std::vector<std::unique_ptr<Key>> subkeys;

        Key* findSubkey(std::u16string_view name) const;
        Value* findValue(std::u16string_view name);
    };

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

    // The text form of a whole tree (roots in order), and its reverse. The reader never fails:
    // lines it cannot understand are skipped, so a damaged or hand-edited file gives whatever
    // keys and values can still be read.
    static std::string toText(const Key& top);
    static void fromText(std::string_view text, Key& top);

    explicit Hive(std::string path);

private:
    // Rereads the file when it is not the one last read or written.
    void refresh();
    bool writeFile();
    Key* find(std::u16string_view keyPath);
    Key* findOrCreate(std::u16string_view keyPath);

    template<class Change>
    bool change(Change&& apply);

    std::string m_path;
    std::recursive_mutex m_mutex;
    Key m_top; // its subkeys are the roots
    bool m_loaded { false };
    // Identity of the file as last read or written: device, inode, size, modification time.
    uint64_t m_fileStamp[5] {};
};

}
