#pragma once

#include "formats/reg/os/Hive.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace s::reg::os {

enum class RootKey {
    CurrentUser,
    LocalMachine,
    ClassesRoot,
    CurrentConfig,
    Users,
};

// The name a root key has in the hive file ("HKEY_CURRENT_USER", ...).
std::u16string_view rootKeyName(RootKey root);

// One registry key, named by a root key and a path below it ("Software\Pellix\..."). The key
// itself need not exist; create() makes it. All keys live in the current user's hive file.
class RegDir final : public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(RegDir, "s_reg_os_RegDir")
public:
    RegDir() = default;
    RegDir(const RegDir&) = delete;
    RegDir& operator=(const RegDir&) = delete;

    static thread::Pooled<RegDir> make(RootKey root, std::u16string_view path);

    void reset() override;

    void set(RootKey root, std::u16string_view path);
    // The hive this key lives in (the current user's, unless set otherwise).
    void setHive(Hive* hive) { m_hive = hive; }
    Hive& hive() const { return m_hive ? *m_hive : Hive::user(); }

    RootKey root() const { return m_root; }
    const std::u16string& path() const { return m_path; }
    // "HKEY_CURRENT_USER\path".
    const std::u16string& fullPath() const { return m_fullPath; }

    bool exists() const;
    bool create();
    // Deletes the key and all its subkeys.
    bool remove();
    bool hasValue(std::u16string_view name) const;
    bool query(std::u16string_view name, ValueType& type, std::vector<uint8_t>& data) const;
    bool setValue(std::u16string_view name, ValueType type, const void* data, uint32_t size);
    bool deleteValue(std::u16string_view name);
    bool subkeyNames(std::vector<std::u16string>& names) const;

private:
    RootKey m_root { RootKey::CurrentUser };
    std::u16string m_path;
    std::u16string m_fullPath;
    Hive* m_hive { nullptr };
};

}
