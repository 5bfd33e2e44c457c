#include "formats/reg/HiveText.h"

#include "foundation/str/Utf8.h"

#include <algorithm>

namespace s::reg {

namespace {

constexpr std::string_view header = "Windows Registry Editor Version 5.00";

std::string toUtf8(std::u16string_view text)
{
    std::string out(str::Utf8::maxEncodedSize(text.size()), '\0');
    out.resize(str::Utf8::encode(text.data(), text.size(), reinterpret_cast<uint8_t*>(out.data())));
    return out;
}

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string out(str::Utf8::maxDecodedSize(bytes.size()), u'\0');
    out.resize(str::Utf8::decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out.data()));
    return out;
}

void appendQuoted(std::string& out, std::u16string_view text)
{
    out += '"';
    for (char c : toUtf8(text)) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

// At least `digits` lowercase hex digits, more when the number needs them.
void appendHexNumber(std::string& out, uint32_t value, int digits)
{
    static constexpr char hex[] = "0123456789abcdef";
    int needed = 1;
    while (needed < 8 && (value >> (4 * needed)) != 0)
        ++needed;
    for (int shift = 4 * (std::max(needed, digits) - 1); shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xF];
}

void appendHex(std::string& out, const std::vector<uint8_t>& data, size_t column)
{
    static constexpr char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\n  ";
                column = 2;
            }
        }
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0xF];
        column += 2;
    }
}

// The text of a REG_SZ that reads back to exactly the same bytes, if there is one.
bool stringData(const std::vector<uint8_t>& data, std::u16string& text)
{
    if (data.size() < 2 || data.size() % 2 != 0)
        return false;
    size_t units = data.size() / 2;
    text.resize(units - 1);
    for (size_t i = 0; i < units; ++i) {
        char16_t c = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
        if (i + 1 == units)
            return c == 0 && HiveKey::isPlainText(text);
        text[i] = c;
    }
    return false;
}

void writeKey(std::string& out, const HiveKey& key, std::string& path)
{
    size_t parentLength = path.size();
    if (!path.empty())
        path += '\\';
    path += toUtf8(key.name);
    out += '[';
    out += path;
    out += "]\n";
    std::u16string text;
    for (const HiveKey::Value& value : key.values) {
        size_t lineStart = out.size();
        if (value.name.empty())
            out += '@';
        else
            appendQuoted(out, value.name);
        out += '=';
        if (value.type == ValueType::String && stringData(value.data, text)) {
            appendQuoted(out, text);
        } else if (value.type == ValueType::Dword && value.data.size() == 4) {
            uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (static_cast<uint32_t>(value.data[3]) << 24);
            out += "dword:";
            appendHexNumber(out, v, 8);
        } else {
            if (value.type == ValueType::Binary) {
                out += "hex:";
            } else {
                out += "hex(";
                appendHexNumber(out, static_cast<uint32_t>(value.type), 1);
                out += "):";
            }
            appendHex(out, value.data, out.size() - lineStart);
        }
        out += '\n';
    }
    out += '\n';
    for (const auto& subkey : key.subkeys)
        writeKey(out, *subkey, path);
    path.resize(parentLength);
}

// --- reading ---

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// A quoted text with \\ and \" escapes; s starts at the opening quote and is left after the
// closing one. False when the quote is never closed.
bool readQuoted(std::string_view& s, std::string& out)
{
    out.clear();
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size())
            c = s[++i];
        out += c;
        ++i;
    }
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool readHexBytes(std::string_view s, std::vector<uint8_t>& out)
{
    out.clear();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
            ++i;
    };
    skipBlanks();
    while (i < s.size()) {
        if (i + 1 >= s.size())
            return false;
        int high = hexDigit(s[i]);
        int low = hexDigit(s[i + 1]);
        if (high < 0 || low < 0)
            return false;
        out.push_back(static_cast<uint8_t>(high * 16 + low));
        i += 2;
        skipBlanks();
        if (i < s.size()) {
            if (s[i] != ',')
                return false;
            ++i;
            skipBlanks();
            if (i == s.size())
                return false; // a comma promises another byte: the value was cut short
        }
    }
    return true;
}

bool readNumber(std::string_view s, uint32_t& value, int base)
{
    if (s.empty() || s.size() > 8)
        return false;
    value = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0 || d >= base)
            return false;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
    }
    return true;
}

bool readValueLine(std::string_view line, HiveKey::Value& value)
{
    std::string name;
    if (line.front() == '@') {
        line.remove_prefix(1);
    } else if (!readQuoted(line, name)) {
        return false;
    }
    line = trim(line);
    if (line.empty() || line.front() != '=')
        return false;
    line = trim(line.substr(1));
    value.name = fromUtf8(name);
    value.data.clear();
    if (!line.empty() && line.front() == '"') {
        std::string text;
        if (!readQuoted(line, text))
            return false;
        std::u16string units = fromUtf8(text);
        value.type = ValueType::String;
        for (char16_t c : units) {
            value.data.push_back(static_cast<uint8_t>(c & 0xFF));
            value.data.push_back(static_cast<uint8_t>(c >> 8));
        }
        value.data.push_back(0);
        value.data.push_back(0);
        return true;
    }
    if (line.starts_with("dword:")) {
        uint32_t v;
        if (!readNumber(trim(line.substr(6)), v, 16))
            return false;
        value.type = ValueType::Dword;
        value.data = { static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24) };
        return true;
    }
    if (line.starts_with("hex:")) {
        value.type = ValueType::Binary;
        return readHexBytes(line.substr(4), value.data);
    }
    if (line.starts_with("hex(")) {
        size_t close = line.find("):");
        uint32_t type;
        if (close == std::string_view::npos || !readNumber(line.substr(4, close - 4), type, 16))
            return false;
        value.type = static_cast<ValueType>(type);
        return readHexBytes(line.substr(close + 2), value.data);
    }
    return false; // a deletion ("=-") or something unknown
}

// Files saved by the platform's own editor are UTF-16LE with a byte-order mark.
std::string normalisedText(std::string_view bytes)
{
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
        std::u16string units((bytes.size() - 2) / 2, u'\0');
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 + 2 * i]) | (static_cast<uint8_t>(bytes[3 + 2 * i]) << 8));
        return toUtf8(units);
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return std::string(bytes);
}

}

std::string HiveText::write(const HiveKey& top)
{
    std::string out(header);
    out += "\n\n";
    std::string path;
    for (const auto& root : top.subkeys)
        writeKey(out, *root, path);
    return out;
}

void HiveText::read(std::string_view bytes, HiveKey& top)
{
    std::string text = normalisedText(bytes);
    std::string_view rest = text;
    HiveKey* current = nullptr;
    std::string line;
    while (!rest.empty()) {
        // One logical line: a trailing "\" continues a value on the next line.
        line.clear();
        for (;;) {
            size_t end = rest.find('\n');
            std::string_view physical = rest.substr(0, end);
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
            physical = trim(physical);
            bool inValue = !line.empty() || (!physical.empty() && (physical.front() == '"' || physical.front() == '@'));
            if (inValue && !physical.empty() && physical.back() == '\\' && !rest.empty()) {
                physical.remove_suffix(1);
                line.append(physical);
                continue;
            }
            line.append(physical);
            break;
        }
        std::string_view l = trim(line);
        if (l.empty() || l.front() == ';')
            continue;
        if (l.front() == '[') {
            size_t close = l.rfind(']');
            current = nullptr;
            if (close == std::string_view::npos || close < 2 || l[1] == '-')
                continue; // torn or a deletion: its values are not read either
            std::u16string path = fromUtf8(l.substr(1, close - 1));
            std::vector<std::u16string_view> parts = HiveKey::splitPath(path);
            if (parts.size() > HiveKey::maxDepth || !HiveKey::isRootPath(parts))
                continue;
            HiveKey* key = &top;
            for (std::u16string_view part : parts)
                key = key->findOrAddSubkey(part);
            if (key != &top)
                current = key;
            continue;
        }
        if (!current || (l.front() != '"' && l.front() != '@'))
            continue;
        HiveKey::Value value;
        if (!readValueLine(l, value))
            continue;
        if (HiveKey::Value* existing = current->findValue(value.name))
            *existing = std::move(value);
        else
            current->values.push_back(std::move(value));
    }
}

}
