#include "formats/reg/MappedData.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/str/Utf8.h"

#include <cstdlib>
#include <cstring>

namespace s::reg {

using os::ValueType;

namespace {

std::u16string_view viewOf(const char16_t* t) { return t ? std::u16string_view(t) : std::u16string_view(); }

bool isNameUnit(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_';
}

// The variable's value appended to out; false when it is not set.
bool appendVariable(std::u16string_view name, str::strbuffer::StrBuffer& out)
{
    if (name.empty())
        return false;
    std::string utf8(str::Utf8::maxEncodedSize(name.size()), '\0');
    utf8.resize(str::Utf8::encode(name.data(), name.size(), reinterpret_cast<uint8_t*>(utf8.data())));
    const char* value = std::getenv(utf8.c_str());
    if (!value)
        return false;
    out.appendUtf8(value);
    return true;
}

}

thread::Pooled<MappedData> MappedData::create(os::RootKey root, const char16_t* basePath)
{
    thread::Pooled<MappedData> store;
    store->setBase(root, basePath);
    return store;
}

void MappedData::reset()
{
    m_keyPath.clear();
    m_rememberedPath.clear();
    m_base.replace(nullptr);
    m_current.replace(nullptr);
    m_currentExists = false;
    m_hive = nullptr;
    m_scratch.clear();
    m_data.clear();
    m_autoSave = false;
}

void MappedData::setBase(os::RootKey root, const char16_t* basePath)
{
    m_base = os::RegDir::make(root, viewOf(basePath));
    m_base->setHive(m_hive);
    m_current.replace(nullptr);
    m_rememberedPath.clear();
}

void MappedData::setHive(os::Hive* hive)
{
    m_hive = hive;
    if (m_base)
        m_base->setHive(hive);
    m_current.replace(nullptr);
}

os::RegDir* MappedData::key(const char16_t* path, bool create)
{
    if (!m_base)
        return nullptr;
    std::u16string_view p = viewOf(path);
    if (!m_current || m_rememberedPath != p) {
        m_rememberedPath.assign(p);
        m_keyPath = m_base->path();
        if (!p.empty()) {
            if (!m_keyPath.empty())
                m_keyPath += u'\\';
            m_keyPath += p;
        }
        m_current = os::RegDir::make(m_base->root(), m_keyPath);
        m_current->setHive(m_hive);
    }
    // Existence is asked each time: another process may have made or removed the key.
    m_currentExists = create ? m_current->create() : m_current->exists();
    return m_currentExists ? m_current.get() : nullptr;
}

bool MappedData::createKey(const char16_t* path) { return key(path, true) != nullptr; }
bool MappedData::openKey(const char16_t* path) { return key(path, false) != nullptr; }

bool MappedData::deleteKey(const char16_t* path)
{
    os::RegDir* dir = key(path, false);
    if (!dir)
        return false;
    bool removed = dir->remove();
    m_current.replace(nullptr);
    return removed;
}

bool MappedData::hasValue(const char16_t* path, const char16_t* name)
{
    os::RegDir* dir = key(path, false);
    return dir && dir->hasValue(viewOf(name));
}

bool MappedData::readFixed(const char16_t* path, const char16_t* name, void* out, uint32_t size)
{
    os::RegDir* dir = key(path, false);
    ValueType type;
    if (!dir || !dir->query(viewOf(name), type, m_data) || m_data.size() != size)
        return false;
    std::memcpy(out, m_data.data(), size);
    return true;
}

uint8_t MappedData::getU8(const char16_t* path, const char16_t* name, uint8_t defaultValue)
{
    uint32_t v;
    return readFixed(path, name, &v, 4) ? static_cast<uint8_t>(v) : defaultValue;
}

uint16_t MappedData::getU16(const char16_t* path, const char16_t* name, uint16_t defaultValue)
{
    uint32_t v;
    return readFixed(path, name, &v, 4) ? static_cast<uint16_t>(v) : defaultValue;
}

uint32_t MappedData::getU32(const char16_t* path, const char16_t* name, uint32_t defaultValue)
{
    uint32_t v;
    return readFixed(path, name, &v, 4) ? v : defaultValue;
}

uint64_t MappedData::getU64(const char16_t* path, const char16_t* name, uint64_t defaultValue)
{
    uint64_t v;
    return readFixed(path, name, &v, 8) ? v : defaultValue;
}

int8_t MappedData::getS8(const char16_t* path, const char16_t* name, int8_t defaultValue)
{
    int32_t v;
    return readFixed(path, name, &v, 4) ? static_cast<int8_t>(v) : defaultValue;
}

int16_t MappedData::getS16(const char16_t* path, const char16_t* name, int16_t defaultValue)
{
    int32_t v;
    return readFixed(path, name, &v, 4) ? static_cast<int16_t>(v) : defaultValue;
}

int32_t MappedData::getS32(const char16_t* path, const char16_t* name, int32_t defaultValue)
{
    int32_t v;
    return readFixed(path, name, &v, 4) ? v : defaultValue;
}

int64_t MappedData::getS64(const char16_t* path, const char16_t* name, int64_t defaultValue)
{
    int64_t v;
    return readFixed(path, name, &v, 8) ? v : defaultValue;
}

float MappedData::getFloat(const char16_t* path, const char16_t* name, float defaultValue)
{
    float v;
    return readFixed(path, name, &v, 4) ? v : defaultValue;
}

double MappedData::getDouble(const char16_t* path, const char16_t* name, double defaultValue)
{
    double v;
    return readFixed(path, name, &v, 8) ? v : defaultValue;
}

bool MappedData::getBool(const char16_t* path, const char16_t* name, bool defaultValue)
{
    uint32_t v;
    return readFixed(path, name, &v, 4) ? v != 0 : defaultValue;
}

const str::strbuffer::StrBuffer& MappedData::getString(const char16_t* path, const char16_t* name, const char16_t* defaultValue,
    bool* expandable, bool expand)
{
    if (expandable)
        *expandable = false;
    m_scratch.clear();
    os::RegDir* dir = key(path, false);
    ValueType type;
    if (!dir || !dir->query(viewOf(name), type, m_data) || (type != ValueType::String && type != ValueType::ExpandString)) {
        if (defaultValue)
            m_scratch.append(std::u16string_view(defaultValue));
        return m_scratch;
    }
    // The text runs up to its terminating NUL (or the end of an unterminated value).
    thread::Pooled<StrBuffer> text;
    for (size_t i = 0; i + 1 < m_data.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(m_data[i] | (m_data[i + 1] << 8));
        if (unit == 0)
            break;
        text->append(unit);
    }
    if (type == ValueType::ExpandString) {
        if (expandable)
            *expandable = true;
        if (expand) {
            expandEnvironment(text->view(), m_scratch);
            return m_scratch;
        }
    }
    m_scratch.append(text->view());
    return m_scratch;
}

void MappedData::expandEnvironment(std::u16string_view text, StrBuffer& out)
{
    size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c == u'%') {
            size_t close = text.find(u'%', i + 1);
            if (close != std::u16string_view::npos && appendVariable(text.substr(i + 1, close - i - 1), out)) {
                i = close + 1;
                continue;
            }
        } else if (c == u'$') {
            if (i + 1 < text.size() && text[i + 1] == u'{') {
                size_t close = text.find(u'}', i + 2);
                if (close != std::u16string_view::npos && appendVariable(text.substr(i + 2, close - i - 2), out)) {
                    i = close + 1;
                    continue;
                }
            } else {
                size_t end = i + 1;
                while (end < text.size() && isNameUnit(text[end]))
                    ++end;
                if (end > i + 1 && appendVariable(text.substr(i + 1, end - i - 1), out)) {
                    i = end;
                    continue;
                }
            }
        }
        out.append(c);
        ++i;
    }
}

col::_array::ArrayU08* MappedData::getBytes(const char16_t* path, const char16_t* name, ArrayU08* target)
{
    os::RegDir* dir = key(path, false);
    ValueType type;
    if (!dir || !dir->query(viewOf(name), type, m_data))
        return target;
    ArrayU08* out = target ? target : ArrayU08::get();
    out->clear();
    if (!m_data.empty())
        out->append(m_data.data(), static_cast<uint32_t>(m_data.size()));
    return out;
}

bool MappedData::deleteValue(const char16_t* path, const char16_t* name)
{
    os::RegDir* dir = key(path, false);
    return dir && dir->deleteValue(viewOf(name));
}

bool MappedData::write(const char16_t* path, const char16_t* name, ValueType type, const void* data, uint32_t size)
{
    os::RegDir* dir = key(path, true);
    return dir && dir->setValue(viewOf(name), type, data, size);
}

bool MappedData::writeText(const char16_t* path, const char16_t* name, ValueType type, const char16_t* value)
{
    std::u16string_view text = viewOf(value);
    std::vector<uint8_t> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return write(path, name, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

bool MappedData::setU8(const char16_t* path, const char16_t* name, uint8_t value) { return setU32(path, name, value); }
bool MappedData::setU16(const char16_t* path, const char16_t* name, uint16_t value) { return setU32(path, name, value); }

bool MappedData::setU32(const char16_t* path, const char16_t* name, uint32_t value)
{
    return write(path, name, ValueType::Dword, &value, 4);
}

bool MappedData::setS8(const char16_t* path, const char16_t* name, int8_t value) { return setS32(path, name, value); }
bool MappedData::setS16(const char16_t* path, const char16_t* name, int16_t value) { return setS32(path, name, value); }

bool MappedData::setS32(const char16_t* path, const char16_t* name, int32_t value)
{
    return write(path, name, ValueType::Dword, &value, 4);
}

bool MappedData::setU64(const char16_t* path, const char16_t* name, uint64_t value)
{
    return write(path, name, ValueType::Binary, &value, 8);
}

bool MappedData::setS64(const char16_t* path, const char16_t* name, int64_t value)
{
    return write(path, name, ValueType::Binary, &value, 8);
}

bool MappedData::setFloat(const char16_t* path, const char16_t* name, float value)
{
    return write(path, name, ValueType::Binary, &value, 4);
}

bool MappedData::setDouble(const char16_t* path, const char16_t* name, double value)
{
    return write(path, name, ValueType::Binary, &value, 8);
}

bool MappedData::setBool(const char16_t* path, const char16_t* name, bool value)
{
    return setU32(path, name, value ? 1 : 0);
}

bool MappedData::setString(const char16_t* path, const char16_t* name, const char16_t* value)
{
    return writeText(path, name, ValueType::String, value);
}

bool MappedData::setExpandString(const char16_t* path, const char16_t* name, const char16_t* value)
{
    return writeText(path, name, ValueType::ExpandString, value);
}

bool MappedData::setBytes(const char16_t* path, const char16_t* name, const uint8_t* data, uint32_t count)
{
    return write(path, name, ValueType::Binary, data, count);
}

}
