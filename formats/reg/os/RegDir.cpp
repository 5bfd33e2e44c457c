#include "formats/reg/os/RegDir.h"

namespace s::reg::os {

std::u16string_view rootKeyName(RootKey root)
{
    switch (root) {
    case RootKey::CurrentUser:
        return u"HKEY_CURRENT_USER";
    case RootKey::LocalMachine:
        return u"HKEY_LOCAL_MACHINE";
    case RootKey::ClassesRoot:
        return u"HKEY_CLASSES_ROOT";
    case RootKey::CurrentConfig:
        return u"HKEY_CURRENT_CONFIG";
    case RootKey::Users:
        return u"HKEY_USERS";
    }
    return u"HKEY_CURRENT_USER";
}

thread::Pooled<RegDir> RegDir::make(RootKey root, std::u16string_view path)
{
    thread::Pooled<RegDir> dir;
    dir->set(root, path);
    return dir;
}

void RegDir::reset()
{
    m_root = RootKey::CurrentUser;
    m_path.clear();
    m_fullPath.clear();
    m_hive = nullptr;
}

void RegDir::set(RootKey root, std::u16string_view path)
{
    m_root = root;
    m_path.assign(path);
    m_fullPath.assign(rootKeyName(root));
    if (!path.empty()) {
        m_fullPath += u'\\';
        m_fullPath += path;
    }
}

bool RegDir::exists() const { return hive().keyExists(m_fullPath); }
bool RegDir::create() { return hive().createKey(m_fullPath); }
bool RegDir::remove() { return hive().deleteKey(m_fullPath); }
bool RegDir::hasValue(std::u16string_view name) const { return hive().hasValue(m_fullPath, name); }

bool RegDir::query(std::u16string_view name, ValueType& type, std::vector<uint8_t>& data) const
{
    return hive().queryValue(m_fullPath, name, type, data);
}

bool RegDir::setValue(std::u16string_view name, ValueType type, const void* data, uint32_t size)
{
    return hive().setValue(m_fullPath, name, type, data, size);
}

bool RegDir::deleteValue(std::u16string_view name) { return hive().deleteValue(m_fullPath, name); }
bool RegDir::subkeyNames(std::vector<std::u16string>& names) const { return hive().subkeyNames(m_fullPath, names); }

}
