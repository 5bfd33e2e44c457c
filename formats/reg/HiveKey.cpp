#include "formats/reg/HiveKey.h"

namespace s::reg {

namespace {

char16_t fold(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

}

bool HiveKey::namesEqual(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

HiveKey* HiveKey::findSubkey(std::u16string_view name) const
{
    for (const auto& subkey : subkeys) {
        if (namesEqual(subkey->name, name))
            return subkey.get();
    }
    return nullptr;
}

HiveKey::Value* HiveKey::findValue(std::u16string_view name)
{
    for (Value& value : values) {
        if (namesEqual(value.name, name))
            return &value;
    }
    return nullptr;
}

HiveKey* HiveKey::findOrAddSubkey(std::u16string_view name)
{
    if (HiveKey* existing = findSubkey(name))
        return existing;
    subkeys.push_back(std::make_unique<HiveKey>());
    subkeys.back()->name = std::u16string(name);
    return subkeys.back().get();
}

std::vector<std::u16string_view> HiveKey::splitPath(std::u16string_view path)
{
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == u'\\' || path[i] == u'/') {
            if (i > start)
                parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

bool HiveKey::isRootPath(const std::vector<std::u16string_view>& parts)
{
    return parts.empty() || parts.front().front() != u'-';
}

bool HiveKey::isPlainText(std::u16string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c < 0x20 || c == 0x7F)
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

}
