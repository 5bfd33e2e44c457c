#include "formats/xml/Node.h"

#include "formats/xml/AttrFactory.h"
#include "formats/xml/Escape.h"
#include "formats/xml/Names.h"
#include "formats/xml/Numbers.h"
#include "formats/xml/Text.h"
#include "formats/xml/TextArena.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/file/os/AtomicFile.h"
#include "foundation/file/os/Path.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/str/Utf8.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace s::xml {

using str::strbuffer::StrBuffer;
using text::isSpace;

namespace {

template<class Char>
Char* skipSpace(Char* p)
{
    while (isSpace(*p))
        ++p;
    return p;
}

template<class Char>
Char* skipTo(Char* p, char16_t c)
{
    while (*p && *p != c)
        ++p;
    return p;
}

enum class TagKind {
    Open,   // ">" read: content follows
    Closed, // "/>" read, or the text ended inside the tag
};

// Position of the first occurrence of the three-character text `end` at or after p, or null.
template<class Char>
Char* find3(Char* p, const char16_t* end)
{
    for (; *p; ++p) {
        if (p[0] == end[0] && p[1] == end[1] && p[2] == end[2])
            return p;
    }
    return nullptr;
}

// A document type: up to the ">" that closes it, past an internal subset in brackets and past
// quoted texts and comments, whose ">" do not count. Null when the text ends first.
template<class Char>
Char* skipDocumentType(Char* p)
{
    int depth = 0;
    while (*p) {
        if (p[0] == u'<' && p[1] == u'!' && p[2] == u'-' && p[3] == u'-') {
            Char* end = find3(p + 2, u"-->");
            if (!end)
                return nullptr;
            p = end + 3;
            continue;
        }
        if (*p == u'"' || *p == u'\'') {
            Char* close = skipTo(p + 1, *p);
            if (!*close)
                return nullptr;
            p = close + 1;
            continue;
        }
        if (*p == u'[')
            ++depth;
        else if (*p == u']' && depth > 0)
            --depth;
        else if (*p == u'>' && depth == 0)
            return p + 1;
        ++p;
    }
    return nullptr;
}

// Markup that is not an element, at the "<" (or the NUL that replaced it) at p: a comment
// "<!-- -->", a CDATA section "<![CDATA[ ]]>", a document type or other declaration "<!...>",
// an XML declaration or processing instruction "<? ?>". Returns the position after it, or null
// when an element (or an end tag) starts at p. Markup without its end stops at the first ">"
// after its start, so one missing "-->" does not swallow the rest of a document.
// "<!-->" and "<!--->" are complete (empty) comments, as browsers read them.
template<class Char>
Char* skipMarkup(Char* p)
{
    Char* q = skipSpace(p + 1);
    if (*q == u'?') {
        for (Char* end = q + 1; *end; ++end) {
            if (end[0] == u'?' && end[1] == u'>')
                return end + 2;
        }
        Char* close = skipTo(q + 1, u'>');
        return *close ? close + 1 : close;
    }
    if (*q != u'!')
        return nullptr;
    auto endOrFirstClose = [](Char* from, const char16_t* end) -> Char* {
        if (Char* found = find3(from, end))
            return found + 3;
        Char* close = skipTo(from, u'>');
        return *close ? close + 1 : close;
    };
    if (q[1] == u'-' && q[2] == u'-')
        return endOrFirstClose(q + 1, u"-->");
    if (q[1] == u'[' && q[2] == u'C' && q[3] == u'D' && q[4] == u'A' && q[5] == u'T' && q[6] == u'A' && q[7] == u'[')
        return endOrFirstClose(q + 8, u"]]>");
    if (Char* end = skipDocumentType(q + 1))
        return end;
    Char* close = skipTo(q + 1, u'>');
    return *close ? close + 1 : close;
}

}

Node::Node() = default;

Node::~Node()
{
    clear();
}

uint32_t Node::childCount() const
{
    return static_cast<uint32_t>(m_children.size());
}

// Deep trees are released with a work list instead of recursion, so a document nested a
// hundred thousand levels deep cannot exhaust the stack.
void Node::clear()
{
    if (!m_nameBorrowed)
        std::free(m_name);
    m_name = nullptr;
    m_nameBorrowed = false;
    m_nameLength = 0;
    m_attributes.clear();
    if (m_arena) {
        m_arena->release();
        m_arena = nullptr;
    }
    if (m_children.empty())
        return;
    std::vector<Node*> pending;
    pending.swap(m_children);
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!node->m_children.empty()) {
            pending.insert(pending.end(), node->m_children.begin(), node->m_children.end());
            node->m_children.clear();
        }
        node->release();
    }
}

// --- reading ---

// One pass over the text, in place: the text belongs to the document's block (TextArena), and
// names and values are cut out of it by writing a NUL after each, so nothing is copied. Each
// overwritten character is known (a quote, a space, "=", "<") and handled before it goes.
class Node::Reader {
public:
    explicit Reader(TextArena* arena)
        : m_arena(arena)
    {
    }

    // Reads a start tag whose "<" is at p (it may already be overwritten by the NUL that ended
    // a text run): the name, the attributes and the end of the tag. Returns the position after
    // the tag. Callers have already skipped markup (see skipMarkup), so an element starts here.
    char16_t* startTag(Node& node, char16_t* p, TagKind& kind)
    {
        // 2. The name runs up to whitespace, "/" or ">".
        p = skipSpace(p + 1);
        char16_t* nameStart = p;
        while (*p && !isSpace(*p) && *p != u'/' && *p != u'>')
            ++p;
        char16_t ended = *p;
        *p = 0;
        setName(node, nameStart, static_cast<uint32_t>(p - nameStart));
        if (ended == 0) {
            kind = TagKind::Closed;
            return p;
        }
        if (ended == u'>') {
            kind = TagKind::Open;
            return p + 1;
        }
        if (ended == u'/')
            return emptyElementEnd(p + 1, kind);
        ++p; // whitespace: attributes may follow

        // 4. Attributes, taken raw: name up to a space or "=", value between the next two quotes.
        m_records.clear();
        for (;;) {
            p = skipSpace(p);
            if (!*p || *p == u'>' || *p == u'/')
                break;
            char16_t* attrName = p;
            while (*p && *p != u' ' && *p != u'=')
                ++p;
            char16_t* attrNameEnd = p;
            char16_t* quote = skipTo(p, u'"');
            if (!*quote)
                break;
            char16_t* value = quote + 1;
            char16_t* valueEnd = skipTo(value, u'"');
            *attrNameEnd = 0;
            m_records.push_back(record(attrName, attrNameEnd, value, valueEnd));
            if (!*valueEnd) {
                p = valueEnd;
                break;
            }
            *valueEnd = 0;
            p = valueEnd + 1;
        }
        if (!m_records.empty())
            node.m_attributes.append(m_records.data(), static_cast<uint32_t>(m_records.size()));

        // 5. End of the start tag.
        while (*p && *p != u'>' && *p != u'/')
            ++p;
        if (*p == u'/')
            return emptyElementEnd(p + 1, kind);
        if (!*p) {
            kind = TagKind::Closed;
            return p;
        }
        kind = TagKind::Open;
        return p + 1;
    }

    // A text run inside an element: leading whitespace dropped, the rest up to the next "<"
    // kept raw. Returns the position of that "<" (now a NUL when a run ended there) and tells
    // whether a tag follows.
    char16_t* textRun(Node& node, char16_t* p, bool& atTag)
    {
        p = skipSpace(p);
        if (*p == u'<' || !*p) {
            atTag = *p == u'<';
            return p;
        }
        char16_t* start = p;
        p = skipTo(p, u'<');
        atTag = *p == u'<';
        *p = 0;
        node.m_attributes.append(record(nullptr, nullptr, start, p));
        return p;
    }

private:
    static char16_t* emptyElementEnd(char16_t* p, TagKind& kind)
    {
        p = skipTo(p, u'>');
        kind = TagKind::Closed;
        return *p ? p + 1 : p;
    }

    // Each node that holds texts of the block keeps a reference to it.
    void setName(Node& node, char16_t* name, uint32_t length)
    {
        if (!node.m_nameBorrowed)
            std::free(node.m_name);
        node.m_name = name;
        node.m_nameLength = length;
        node.m_nameBorrowed = true;
        if (node.m_arena != m_arena) {
            if (node.m_arena)
                node.m_arena->release();
            m_arena->retain();
            node.m_arena = m_arena;
        }
    }

    // A text entry's name is the shared empty text.
    Attribute* record(char16_t* name, char16_t* nameEnd, char16_t* value, char16_t* valueEnd)
    {
        static char16_t noName[1] = { 0 };
        auto* r = static_cast<Attribute*>(m_arena->allocate(sizeof(Attribute)));
        r->nameLength = static_cast<uint32_t>(nameEnd - name);
        r->name = name ? name : noName;
        r->valueLength = static_cast<uint32_t>(valueEnd - value);
        r->value = value;
        r->borrowed = true;
        return r;
    }

    TextArena* m_arena;
    std::vector<Attribute*> m_records;
};

// A copy of the text goes into the document's block, where it is read in place.
const char16_t* Node::parse(const char16_t* text)
{
    uint32_t length = text::length(text);
    if (!m_arena)
        m_arena = TextArena::make(static_cast<size_t>(length) * sizeof(char16_t) * 3 / 2 + 4096);
    char16_t* copy = m_arena->copy(text, length);
    return text + (parseInPlace(copy) - copy);
}

// The content of open elements is kept on an explicit stack rather than by recursion, so the
// depth of a document is bounded by memory and not by the thread's stack.
char16_t* Node::parseInPlace(char16_t* text)
{
    // 1. Find the root: the first element. Text before it (a byte-order mark, say), an XML
    //    declaration, comments, a document type and stray end tags are passed over.
    char16_t* p = text;
    for (;;) {
        p = skipTo(p, u'<');
        if (!*p)
            return p;
        if (char16_t* after = skipMarkup(p)) {
            p = after;
            continue;
        }
        char16_t* q = skipSpace(p + 1);
        if (*q == u'/') {
            p = skipTo(q, u'>');
            continue;
        }
        break;
    }

    Reader reader(m_arena);
    TagKind kind;
    p = reader.startTag(*this, p, kind);
    if (kind != TagKind::Open)
        return p;

    std::vector<Node*> open;
    open.push_back(this);
    bool atTag;
    p = reader.textRun(*this, p, atTag);
    while (atTag) {
        // 7. An end tag closes the innermost open element; its name is not examined.
        if (p[1] == u'/') {
            p = skipTo(p + 2, u'>');
            if (*p)
                ++p;
            open.pop_back();
            if (open.empty())
                return p;
        } else if (char16_t* after = skipMarkup(p)) {
            // Comments, declarations and sections inside an element are read and dropped.
            p = after;
        } else {
            // 6. A child element.
            Node* child = Node::get();
            p = reader.startTag(*child, p, kind);
            open.back()->m_children.push_back(child);
            if (kind == TagKind::Open) {
                open.push_back(child);
                p = reader.textRun(*child, p, atTag);
                continue;
            }
        }
        p = reader.textRun(*open.back(), p, atTag);
    }
    return p;
}

bool Node::parseBytes(const ArrayU08* bytes)
{
    if (!bytes)
        return false;
    return parseBytes(bytes->items(), bytes->count());
}

// The decoded text goes straight into the document's block: room for it and, after it, for the
// records of a typical document.
bool Node::parseBytes(const uint8_t* bytes, uint64_t size)
{
    if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        size -= 3;
    }
    size_t room = (str::Utf8::maxDecodedSize(size) + 1) * sizeof(char16_t);
    if (!m_arena)
        m_arena = TextArena::make(room + room / 2 + 4096);
    auto* text = static_cast<char16_t*>(m_arena->allocate(room));
    size_t units = str::Utf8::decode(bytes, size, text);
    text[units] = 0;
    parseInPlace(text);
    return m_nameLength > 0;
}

// --- names and children ---

const char16_t* Node::getName() const
{
    return m_name ? m_name : text::emptyText;
}

bool Node::setName(const char16_t* name, int32_t length)
{
    uint32_t n = length < 0 ? text::length(name) : static_cast<uint32_t>(length);
    if (n > 0 && !isXmlName(name, n))
        return false;
    char16_t* copy = text::duplicate(name, n);
    if (!m_nameBorrowed)
        std::free(m_name);
    m_name = copy;
    m_nameBorrowed = false;
    m_nameLength = n;
    return true;
}

bool Node::nameEquals(const char16_t* name, int32_t length) const
{
    if (length < 0)
        return text::equalsIgnoreCase(getName(), m_nameLength, name, text::length(name));
    if (m_nameLength != static_cast<uint32_t>(length))
        return false;
    return length == 0 || std::memcmp(m_name, name, static_cast<size_t>(length) * sizeof(char16_t)) == 0;
}

bool Node::isComment() const
{
    return m_nameLength > 0 && m_name[0] == u'!';
}

Node* Node::childAt(uint32_t index) const
{
    return m_children[index];
}

Node* Node::addChild(const char16_t* name, int32_t length)
{
    uint32_t n = length < 0 ? text::length(name) : static_cast<uint32_t>(length);
    if (n > 0 && !isXmlName(name, n))
        return nullptr;
    Node* child = Node::get();
    child->setName(name, length);
    m_children.push_back(child);
    return child;
}

Node* Node::appendChild(Node* node)
{
    if (node)
        m_children.push_back(node);
    return node;
}

void Node::removeChildAt(uint32_t index)
{
    Node* child = m_children[index];
    m_children.erase(m_children.begin() + index);
    child->release();
}

bool Node::findChild(const char16_t* name, uint32_t* index, int32_t length) const
{
    for (uint32_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i]->nameEquals(name, length)) {
            if (index)
                *index = i;
            return true;
        }
    }
    return false;
}

Node* Node::getChild(const char16_t* name, int32_t length) const
{
    uint32_t index;
    return findChild(name, &index, length) ? m_children[index] : nullptr;
}

Attributes* Node::getAttributes()
{
    return &m_attributes;
}

const Attributes* Node::getAttributes() const
{
    return &m_attributes;
}

// --- setters ---

namespace {

// An attribute name, or the empty name of the element's text.
bool isValueName(const char16_t* name, uint32_t length)
{
    return length == 0 || isXmlName(name, length);
}

}

// Numbers are formatted without the C library's locale: under a decimal-comma locale "%f" would
// write "0,500000", which reads back as 0.
template<class Number, class... Format>
bool Node::addNumber(const char16_t* name, Number value, Format... format)
{
    uint32_t nameLength = text::length(name);
    if (!isValueName(name, nameLength))
        return false;
    char bytes[400];
    auto result = std::to_chars(bytes, bytes + sizeof bytes, value, format...);
    size_t n = result.ec == std::errc() ? static_cast<size_t>(result.ptr - bytes) : 0;
    char16_t units[sizeof bytes];
    for (size_t i = 0; i < n; ++i)
        units[i] = static_cast<unsigned char>(bytes[i]);
    m_attributes.addRaw(name, nameLength, units, static_cast<uint32_t>(n));
    return true;
}

// "%f": six decimals and no exponent; "%I64d" for both 64-bit setters.
bool Node::setU64(const char16_t* name, uint64_t value) { return addNumber(name, static_cast<int64_t>(value)); }
bool Node::setU32(const char16_t* name, uint32_t value) { return addNumber(name, value); }
bool Node::setU16(const char16_t* name, uint16_t value) { return addNumber(name, static_cast<uint32_t>(value)); }
bool Node::setU8(const char16_t* name, uint8_t value) { return addNumber(name, static_cast<uint32_t>(value)); }
bool Node::setS64(const char16_t* name, int64_t value) { return addNumber(name, value); }
bool Node::setS32(const char16_t* name, int32_t value) { return addNumber(name, value); }
bool Node::setS16(const char16_t* name, int16_t value) { return addNumber(name, static_cast<int32_t>(value)); }
bool Node::setS8(const char16_t* name, int8_t value) { return addNumber(name, static_cast<int32_t>(value)); }
bool Node::setFloat(const char16_t* name, float value) { return addNumber(name, static_cast<double>(value), std::chars_format::fixed, 6); }
bool Node::setDouble(const char16_t* name, double value) { return addNumber(name, value, std::chars_format::fixed, 6); }

bool Node::setString(const char16_t* name, const char16_t* value, int32_t length)
{
    uint32_t nameLength = text::length(name);
    if (!isValueName(name, nameLength))
        return false;
    uint32_t n = length < 0 ? text::length(value) : static_cast<uint32_t>(length);
    thread::Pooled<StrBuffer> escaped;
    escape(*escaped, value, n, nameLength == 0 ? EscapeMode::Text : EscapeMode::Attribute);
    m_attributes.addRaw(name, nameLength, escaped->units(), escaped->length());
    return true;
}

namespace {

template<class T>
void appendHexUnits(StrBuffer& out, T value, int digits)
{
    static constexpr char16_t hex[] = u"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.append(hex[(static_cast<uint64_t>(value) >> shift) & 0xF]);
}

template<class T>
bool addHexArray(Attributes& attributes, const char16_t* name, const T* values, uint32_t count)
{
    using U = std::make_unsigned_t<T>;
    if (!isValueName(name, text::length(name)))
        return false;
    thread::Pooled<StrBuffer> text;
    text->reserveExactly(count * sizeof(T) * 2);
    for (uint32_t i = 0; i < count; ++i)
        appendHexUnits(*text, static_cast<U>(values[i]), static_cast<int>(sizeof(T) * 2));
    attributes.addRaw(name, text::length(name), text->units() ? text->units() : text::emptyText, text->length());
    return true;
}

}

bool Node::setU64Array(const char16_t* name, const uint64_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setU32Array(const char16_t* name, const uint32_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setU16Array(const char16_t* name, const uint16_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setU8Array(const char16_t* name, const uint8_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setS64Array(const char16_t* name, const int64_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setS32Array(const char16_t* name, const int32_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setS16Array(const char16_t* name, const int16_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }
bool Node::setS8Array(const char16_t* name, const int8_t* values, uint32_t count) { return addHexArray(m_attributes, name, values, count); }

bool Node::setFloatArray(const char16_t* name, const float* values, uint32_t count)
{
    std::vector<uint32_t> bits(count);
    if (count)
        std::memcpy(bits.data(), values, count * sizeof(float));
    return addHexArray(m_attributes, name, bits.data(), count);
}

// Each double as its two 32-bit words in memory order, low word first on this little-endian
// machine, so files read the same on the platforms the format came from.
bool Node::setDoubleArray(const char16_t* name, const double* values, uint32_t count)
{
    std::vector<uint32_t> words(static_cast<size_t>(count) * 2);
    if (count)
        std::memcpy(words.data(), values, count * sizeof(double));
    return addHexArray(m_attributes, name, words.data(), count * 2);
}

// --- getters ---

const char16_t* Node::getRaw(const char16_t* name, const char16_t* defaultValue) const
{
    Attribute* record = m_attributes.find(name);
    return record ? record->value : defaultValue;
}

bool Node::getBool(const char16_t* name, bool defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? parseBool(value) : defaultValue;
}

int8_t Node::getS8(const char16_t* name, int8_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? static_cast<int8_t>(parseLong(value)) : defaultValue;
}

int16_t Node::getS16(const char16_t* name, int16_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? static_cast<int16_t>(parseLong(value)) : defaultValue;
}

int32_t Node::getS32(const char16_t* name, int32_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? parseLong(value) : defaultValue;
}

int64_t Node::getS64(const char16_t* name, int64_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? parseLongLong(value) : defaultValue;
}

uint8_t Node::getU8(const char16_t* name, uint8_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? static_cast<uint8_t>(parseUnsignedLong(value)) : defaultValue;
}

uint16_t Node::getU16(const char16_t* name, uint16_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? static_cast<uint16_t>(parseUnsignedLong(value)) : defaultValue;
}

uint32_t Node::getU32(const char16_t* name, uint32_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? parseUnsignedLong(value) : defaultValue;
}

uint64_t Node::getU64(const char16_t* name, uint64_t defaultValue) const
{
    const char16_t* value = getRaw(name);
    return value ? static_cast<uint64_t>(parseLongLong(value)) : defaultValue;
}

str::strbuffer::StrBuffer* Node::getString(StrBuffer* target, const char16_t* name, const char16_t* defaultValue, bool append) const
{
    if (!append)
        target->clear();
    Attribute* record = m_attributes.find(name);
    if (!record) {
        if (defaultValue)
            target->append(defaultValue, text::length(defaultValue));
        return target;
    }
    unescape(*target, record->value, record->valueLength, record->isText() ? EscapeMode::Text : EscapeMode::Attribute);
    return target;
}

// --- writing ---

namespace {

void writeStartTag(StrBuffer& out, const Node& node)
{
    out.append(u'<');
    out.append(node.getName(), node.nameLength());
    const Attributes* attributes = node.getAttributes();
    for (uint32_t i = 0, n = attributes->count(); i < n; ++i) {
        const Attribute* record = attributes->at(i);
        if (record->isText())
            continue;
        out.append(u' ');
        out.append(record->name, record->nameLength);
        out.append(u"=\"", 2);
        out.append(record->value, record->valueLength);
        out.append(u'"');
    }
    out.append(u'>');
    if (const Attribute* content = attributes->firstText())
        out.append(content->value, content->valueLength);
}

void writeEndTag(StrBuffer& out, const Node& node)
{
    out.append(u"</", 2);
    out.append(node.getName(), node.nameLength());
    out.append(u'>');
}

}

// Iterative, like the reader, so any tree the reader builds can be written back.
str::strbuffer::StrBuffer* Node::writeTo(StrBuffer* target, bool append) const
{
    if (!target)
        target = StrBuffer::get();
    else if (!append)
        target->clear();

    struct Open {
        const Node* node;
        uint32_t next;
    };
    std::vector<Open> open;
    writeStartTag(*target, *this);
    open.push_back({ this, 0 });
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < top.node->m_children.size()) {
            const Node* child = top.node->m_children[top.next++];
            writeStartTag(*target, *child);
            open.push_back({ child, 0 });
        } else {
            writeEndTag(*target, *top.node);
            open.pop_back();
        }
    }
    return target;
}

col::_array::ArrayU08* Node::toUtf8Bytes() const
{
    thread::Pooled<StrBuffer> written;
    writeTo(written.get());
    col::_array::ArrayU08* bytes = col::_array::ArrayU08::get();
    written->toUtf8(*bytes);
    return bytes;
}

// --- files ---

bool Node::load(const char16_t* path)
{
    thread::Pooled<Path> file = Path::make(path ? std::u16string_view(path) : std::u16string_view());
    return loadFile(file.get());
}

// A file that cannot be read in full is not parsed at all: the node stays empty rather than
// holding a tree cut at some arbitrary byte.
bool Node::loadFile(Path* path)
{
    clear();
    if (!path || !path->isValid())
        return false;
    thread::Pooled<ArrayU08> bytes;
    if (!path->readAll(*bytes))
        return false;
    parseBytes(bytes.get());
    return true;
}

bool Node::save(const char16_t* path) const
{
    thread::Pooled<Path> file = Path::make(path ? std::u16string_view(path) : std::u16string_view());
    return saveFile(file.get());
}

// The file is replaced as a whole (temporary file, flush, rename): a crash or a full disk in
// the middle of a save leaves the previous document, not a truncated one.
bool Node::saveFile(Path* path) const
{
    if (!path || !path->isValid() || !path->ensureParentExists())
        return false;
    thread::Pooled<ArrayU08> bytes = thread::Pooled<ArrayU08>::adopt(toUtf8Bytes());
    return file::os::AtomicFile::replace(path->nativePath(), bytes->items(), bytes->count());
}

}
