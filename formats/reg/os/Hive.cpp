#include "formats/reg/os/Hive.h"

#include "foundation/str/Utf8.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace s::reg::os {

namespace {

constexpr std::string_view header = "Windows Registry Editor Version 5.00";
// As deep as the platform's registry lets keys nest (root included); it also bounds the
// recursion of writing and freeing a tree.
constexpr size_t maxDepth = 512;

char16_t fold(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}

bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

std::vector<std::u16string_view> splitPath(std::u16string_view path)
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

// A section line starting "[-" deletes a key, so no root may be named with a leading "-".
bool isRootName(const std::vector<std::u16string_view>& parts)
{
    return parts.empty() || parts.front().front() != u'-';
}

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

// Control characters and lone surrogates cannot stand in a quoted line of the file.
bool isPlainText(std::u16string_view text)
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
            return c == 0 && isPlainText(text);
        text[i] = c;
    }
    return false;
}

void writeKey(std::string& out, const Hive::Key& key, std::string& path)
{
    size_t parentLength = path.size();
    if (!path.empty())
        path += '\\';
    path += toUtf8(key.name);
    out += '[';
    out += path;
    out += "]\n";
    std::u16string text;
    for (const Hive::Value& value : key.values) {
        size_t lineStart = out.size();
        if (value.name.empty())
            out += '@';
        else
            appendQuoted(out, value.name);
        out += '=';
        if (value.type == ValueType::String && stringData(value.data, text)) {
            appendQuoted(out, text);
        } else if (value.type == ValueType::Dword && value.data.size() == 4) {
            char digits[16];
            uint32_t v = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) | (static_cast<uint32_t>(value.data[3]) << 24);
            std::snprintf(digits, sizeof digits, "dword:%08x", v);
            out += digits;
        } else {
            if (value.type == ValueType::Binary) {
                out += "hex:";
            } else {
                char prefix[24];
                std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.type));
                out += prefix;
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

bool readValueLine(std::string_view line, Hive::Value& value)
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

bool statFile(const std::string& path, uint64_t stamp[5])
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return false;
    stamp[0] = st.st_dev;
    stamp[1] = st.st_ino;
    stamp[2] = static_cast<uint64_t>(st.st_size);
    stamp[3] = static_cast<uint64_t>(st.st_mtim.tv_sec);
    stamp[4] = static_cast<uint64_t>(st.st_mtim.tv_nsec);
    return true;
}

bool makeFolders(const std::string& folder)
{
    if (folder.empty())
        return true;
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(folder.substr(0, slash)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string folderOf(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}

// --- the tree ---

Hive::Key* Hive::Key::findSubkey(std::u16string_view name) const
{
    for (const auto& subkey : subkeys) {
        if (equalsIgnoreCase(subkey->name, name))
            return subkey.get();
    }
    return nullptr;
}

Hive::Value* Hive::Key::findValue(std::u16string_view name)
{
    for (Value& value : values) {
        if (equalsIgnoreCase(value.name, name))
            return &value;
    }
    return nullptr;
}

std::string Hive::toText(const Key& top)
{
    std::string out(header);
    out += "\n\n";
    std::string path;
    for (const auto& root : top.subkeys)
        writeKey(out, *root, path);
    return out;
}

void Hive::fromText(std::string_view bytes, Key& top)
{
    std::string text = normalisedText(bytes);
    std::string_view rest = text;
    Key* current = nullptr;
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
            std::vector<std::u16string_view> parts = splitPath(path);
            if (parts.size() > maxDepth || !isRootName(parts))
                continue;
            Key* key = &top;
            for (std::u16string_view part : parts) {
                Key* next = key->findSubkey(part);
                if (!next) {
                    key->subkeys.push_back(std::make_unique<Key>());
                    next = key->subkeys.back().get();
                    next->name = std::u16string(part);
                }
                key = next;
            }
            if (key != &top)
                current = key;
            continue;
        }
        if (!current || (l.front() != '"' && l.front() != '@'))
            continue;
        Value value;
        if (!readValueLine(l, value))
            continue;
        if (Value* existing = current->findValue(value.name))
            *existing = std::move(value);
        else
            current->values.push_back(std::move(value));
    }
}

// --- the file ---

Hive& Hive::user()
{
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : "") + "/.config";
    }
    return forFile(base + "/Pellix/registry.reg");
}

Hive& Hive::forFile(const std::string& path)
{
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<Hive>> hives;
    std::lock_guard lock(mutex);
    auto& hive = hives[path];
    if (!hive)
        hive = std::make_unique<Hive>(path);
    return *hive;
}

Hive::Hive(std::string path)
    : m_path(std::move(path))
{
}

void Hive::refresh()
{
    uint64_t stamp[5];
    if (!statFile(m_path, stamp)) {
        if (m_loaded && m_fileStamp[1] != 0) {
            // The file went away under us: what it held is gone.
            m_top.subkeys.clear();
            std::memset(m_fileStamp, 0, sizeof m_fileStamp);
        }
        m_loaded = true;
        return;
    }
    if (m_loaded && std::memcmp(stamp, m_fileStamp, sizeof stamp) == 0)
        return;
    std::string bytes;
    int fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            bytes.append(buffer, static_cast<size_t>(n));
        }
        ::close(fd);
    }
    m_top.subkeys.clear();
    fromText(bytes, m_top);
    std::memcpy(m_fileStamp, stamp, sizeof stamp);
    m_loaded = true;
}

bool Hive::writeFile()
{
    std::string text = toText(m_top);
    std::string temporary = m_path + ".tmp";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, 0600) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temporary.c_str(), m_path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    int folder = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    statFile(m_path, m_fileStamp);
    return true;
}

// Every change: lock out other processes, start from the file as it is now, apply, write. When
// the write fails, the tree goes back to what the file holds, so a failed change changes nothing.
template<class Change>
bool Hive::change(Change&& apply)
{
    std::lock_guard lock(m_mutex);
    if (!makeFolders(folderOf(m_path)))
        return false;
    std::string lockPath = m_path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd >= 0) {
        while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) { }
    }
    refresh();
    bool ok = false;
    if (apply()) {
        ok = writeFile();
        if (!ok) {
            m_loaded = false;
            std::memset(m_fileStamp, 0, sizeof m_fileStamp);
            refresh();
        }
    }
    if (lockFd >= 0)
        ::close(lockFd); // drops the lock
    return ok;
}

Hive::Key* Hive::find(std::u16string_view keyPath)
{
    Key* key = &m_top;
    for (std::u16string_view part : splitPath(keyPath)) {
        key = key->findSubkey(part);
        if (!key)
            return nullptr;
    }
    return key == &m_top ? nullptr : key;
}

Hive::Key* Hive::findOrCreate(std::u16string_view keyPath)
{
    std::vector<std::u16string_view> parts = splitPath(keyPath);
    if (parts.size() > maxDepth || !isRootName(parts))
        return nullptr;
    Key* key = &m_top;
    for (std::u16string_view part : parts) {
        Key* next = key->findSubkey(part);
        if (!next) {
            if (!isPlainText(part))
                return nullptr;
            key->subkeys.push_back(std::make_unique<Key>());
            next = key->subkeys.back().get();
            next->name = std::u16string(part);
        }
        key = next;
    }
    return key == &m_top ? nullptr : key;
}

bool Hive::keyExists(std::u16string_view keyPath)
{
    std::lock_guard lock(m_mutex);
    refresh();
    return find(keyPath) != nullptr;
}

bool Hive::createKey(std::u16string_view keyPath)
{
    {
        std::lock_guard lock(m_mutex);
        refresh();
        if (find(keyPath))
            return true;
    }
    return change([&] { return findOrCreate(keyPath) != nullptr; });
}

bool Hive::deleteKey(std::u16string_view keyPath)
{
    return change([&] {
        std::vector<std::u16string_view> parts = splitPath(keyPath);
        if (parts.empty())
            return false;
        Key* parent = &m_top;
        for (size_t i = 0; i + 1 < parts.size(); ++i) {
            parent = parent->findSubkey(parts[i]);
            if (!parent)
                return false;
        }
        for (auto it = parent->subkeys.begin(); it != parent->subkeys.end(); ++it) {
            if (equalsIgnoreCase((*it)->name, parts.back())) {
                parent->subkeys.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool Hive::queryValue(std::u16string_view keyPath, std::u16string_view name, ValueType& type, std::vector<uint8_t>& data)
{
    std::lock_guard lock(m_mutex);
    refresh();
    Key* key = find(keyPath);
    Value* value = key ? key->findValue(name) : nullptr;
    if (!value)
        return false;
    type = value->type;
    data = value->data;
    return true;
}

bool Hive::hasValue(std::u16string_view keyPath, std::u16string_view name)
{
    std::lock_guard lock(m_mutex);
    refresh();
    Key* key = find(keyPath);
    return key && key->findValue(name);
}

bool Hive::setValue(std::u16string_view keyPath, std::u16string_view name, ValueType type, const void* data, uint32_t size)
{
    if (!isPlainText(name))
        return false;
    return change([&] {
        Key* key = findOrCreate(keyPath);
        if (!key)
            return false;
        Value* value = key->findValue(name);
        if (!value) {
            key->values.push_back(Value { std::u16string(name), type, {} });
            value = &key->values.back();
        }
        value->type = type;
        auto* bytes = static_cast<const uint8_t*>(data);
        value->data.assign(bytes, bytes + size);
        return true;
    });
}

bool Hive::deleteValue(std::u16string_view keyPath, std::u16string_view name)
{
    return change([&] {
        Key* key = find(keyPath);
        if (!key)
            return false;
        for (auto it = key->values.begin(); it != key->values.end(); ++it) {
            if (equalsIgnoreCase(it->name, name)) {
                key->values.erase(it);
                return true;
            }
        }
        return false;
    });
}

bool Hive::subkeyNames(std::u16string_view keyPath, std::vector<std::u16string>& names)
{
    std::lock_guard lock(m_mutex);
    refresh();
    names.clear();
    Key* key = find(keyPath);
    if (!key)
        return false;
    for (const auto& subkey : key->subkeys)
        names.push_back(subkey->name);
    return true;
}

}
