#include "formats/xml/MappedData.h"

#include "formats/xml/Escape.h"
#include "formats/xml/Names.h"
#include "formats/xml/Node.h"
#include "formats/xml/Numbers.h"
#include "formats/xml/Text.h"
#include "foundation/col/ArrayU08.h"

#include <cstdio>
#include <string_view>

namespace s::xml {

namespace {

bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

std::u16string_view viewOf(const char16_t* t) { return t ? std::u16string_view(t) : std::u16string_view(); }

}

MappedData::~MappedData()
{
    reset();
}

thread::Pooled<MappedData> MappedData::create(const char16_t* filePath, const char16_t* rootName, bool load)
{
    thread::Pooled<MappedData> store;
    store->setFilePath(filePath);
    Node* root = nullptr;
    if (load && store->m_file && store->m_file->exists()) {
        root = Node::get();
        // A file that is there but cannot be read still holds the user's data: the fresh
        // document must not be written over it.
        store->m_unreadFile = !root->loadFile(store->m_file.get());
        if (root->nameLength() == 0) {
            // Nothing readable in the file: start a fresh document rather than an unnamed one.
            root->release();
            root = nullptr;
        }
    }
    if (!root) {
        root = Node::get();
        root->setName(rootName ? rootName : u"");
    }
    store->setRoot(root);
    return store;
}

void MappedData::reset()
{
    m_file.replace(nullptr);
    if (m_root)
        m_root->release();
    m_root = nullptr;
    m_current = nullptr;
    m_scratch.clear();
    m_rememberedPath.clear();
    m_autoSave = false;
    m_unreadFile = false;
    m_unreadReported = false;
}

void MappedData::setFilePath(const char16_t* filePath)
{
    m_unreadFile = false;
    m_unreadReported = false;
    if (!filePath) {
        m_file.replace(nullptr);
        return;
    }
    m_file = file::os::Path::make(filePath);
}

void MappedData::setRoot(Node* root)
{
    if (m_root == root)
        return;
    if (m_root)
        m_root->release();
    m_root = root;
    m_rememberedPath.clear();
    m_current = m_root;
}

bool MappedData::flush()
{
    if (!m_file || !m_root)
        return false;
    if (m_unreadFile) {
        if (m_file->exists()) {
            if (!m_unreadReported)
                std::fprintf(stderr, "Fetchwick: %s could not be read, so it is not overwritten\n", m_file->nativePath().c_str());
            m_unreadReported = true;
            return false;
        }
        m_unreadFile = false; // gone since: nothing left to lose
    }
    return m_root->saveFile(m_file.get());
}

bool MappedData::changed()
{
    return !m_autoSave || flush();
}

Node* MappedData::element(const char16_t* path, bool create)
{
    std::u16string_view p = viewOf(path);
    // 1. The folder of the previous call.
    if (m_current && m_rememberedPath.view() == p)
        return m_current;

    // 2. Remember the path; the empty one is the root.
    m_rememberedPath.assign(p);
    m_current = m_root;
    if (!m_root)
        return nullptr;

    // 3. Each folder in turn, exact names. A trailing separator adds no folder; an empty name
    //    between two separators is an element with an empty name.
    size_t start = 0;
    while (start < p.size()) {
        size_t end = start;
        while (end < p.size() && !isSeparator(p[end]))
            ++end;
        const char16_t* name = p.data() + start;
        int32_t length = static_cast<int32_t>(end - start);
        Node* child = m_current->getChild(length ? name : u"", length);
        if (!child) {
            if (!create) {
                m_current = nullptr;
                return nullptr;
            }
            child = m_current->addChild(length ? name : u"", length);
        }
        m_current = child;
        start = end + 1;
    }
    return m_current;
}

bool MappedData::createKey(const char16_t* path)
{
    if (!isStorablePath(path))
        return false;
    return element(path, true) != nullptr;
}

bool MappedData::openKey(const char16_t* path)
{
    return element(path, false) != nullptr;
}

bool MappedData::deleteKey(const char16_t* path)
{
    std::u16string_view p = viewOf(path);
    size_t last = p.find_last_of(u"/\\");
    thread::Pooled<StrBuffer> parentPath;
    std::u16string_view leaf = p;
    if (last != std::u16string_view::npos) {
        parentPath->assign(p.substr(0, last));
        leaf = p.substr(last + 1);
    }
    Node* parent = element(parentPath->c_str(), false);
    if (!parent)
        return false;
    thread::Pooled<StrBuffer> leafName = StrBuffer::make(leaf);
    uint32_t index;
    if (!parent->findChild(leafName->c_str(), &index, -1))
        return false;
    // The remembered element is the parent, so it stays valid after the subtree goes.
    parent->removeChildAt(index);
    return changed();
}

bool MappedData::hasValue(const char16_t* path, const char16_t* name)
{
    return raw(path, name) != nullptr;
}

const char16_t* MappedData::raw(const char16_t* path, const char16_t* name)
{
    Node* node = element(path, false);
    return node ? node->getRaw(name ? name : u"") : nullptr;
}

uint8_t MappedData::getU8(const char16_t* path, const char16_t* name, uint8_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<uint8_t>(parseUnsignedLong(v)) : defaultValue;
}

uint16_t MappedData::getU16(const char16_t* path, const char16_t* name, uint16_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<uint16_t>(parseUnsignedLong(v)) : defaultValue;
}

uint32_t MappedData::getU32(const char16_t* path, const char16_t* name, uint32_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? parseUnsignedLong(v) : defaultValue;
}

uint64_t MappedData::getU64(const char16_t* path, const char16_t* name, uint64_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<uint64_t>(parseLongLong(v)) : defaultValue;
}

int8_t MappedData::getS8(const char16_t* path, const char16_t* name, int8_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<int8_t>(parseLong(v)) : defaultValue;
}

int16_t MappedData::getS16(const char16_t* path, const char16_t* name, int16_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<int16_t>(parseLong(v)) : defaultValue;
}

int32_t MappedData::getS32(const char16_t* path, const char16_t* name, int32_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? parseLong(v) : defaultValue;
}

int64_t MappedData::getS64(const char16_t* path, const char16_t* name, int64_t defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? parseLongLong(v) : defaultValue;
}

float MappedData::getFloat(const char16_t* path, const char16_t* name, float defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? static_cast<float>(parseDouble(v)) : defaultValue;
}

double MappedData::getDouble(const char16_t* path, const char16_t* name, double defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? parseDouble(v) : defaultValue;
}

bool MappedData::getBool(const char16_t* path, const char16_t* name, bool defaultValue)
{
    const char16_t* v = raw(path, name);
    return v ? parseBool(v) : defaultValue;
}

const str::strbuffer::StrBuffer& MappedData::getString(const char16_t* path, const char16_t* name, const char16_t* defaultValue,
    bool* expandable, bool)
{
    if (expandable)
        *expandable = false;
    m_scratch.clear();
    Node* node = element(path, false);
    if (node)
        node->getString(&m_scratch, name ? name : u"", defaultValue, false);
    else if (defaultValue)
        m_scratch.append(std::u16string_view(defaultValue));
    return m_scratch;
}

// Pairs of hex digits in either case; a character that is not a hex digit counts as 0 and a
// trailing odd digit is ignored.
col::_array::ArrayU08* MappedData::getBytes(const char16_t* path, const char16_t* name, ArrayU08* target)
{
    const char16_t* v = raw(path, name);
    if (!v)
        return target;
    ArrayU08* out = target ? target : ArrayU08::get();
    out->clear();
    auto digit = [](char16_t c) -> uint8_t {
        if (c >= u'0' && c <= u'9')
            return static_cast<uint8_t>(c - u'0');
        if (c >= u'a' && c <= u'f')
            return static_cast<uint8_t>(c - u'a' + 10);
        if (c >= u'A' && c <= u'F')
            return static_cast<uint8_t>(c - u'A' + 10);
        return 0;
    };
    for (const char16_t* p = v; p[0] && p[1]; p += 2)
        out->push(static_cast<uint8_t>((digit(p[0]) << 4) | digit(p[1])));
    return out;
}

bool MappedData::deleteValue(const char16_t* path, const char16_t* name)
{
    Node* node = element(path, false);
    if (!node || !node->getAttributes()->removeByName(name ? name : u""))
        return false;
    return changed();
}

// Every folder of the path and the value name must be names the document can hold; the check
// comes before anything is created, so a refused call leaves the tree as it was. Empty folder
// names (as in "A//B") are elements with an empty name, which the reader gives back.
bool MappedData::isStorablePath(const char16_t* path)
{
    std::u16string_view p = viewOf(path);
    size_t start = 0;
    while (start < p.size()) {
        size_t end = start;
        while (end < p.size() && !isSeparator(p[end]))
            ++end;
        if (end > start && !isXmlName(p.data() + start, static_cast<uint32_t>(end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

Node* MappedData::prepareSet(const char16_t* path, const char16_t* name)
{
    uint32_t nameLength = text::length(name);
    if (!isStorablePath(path) || (nameLength > 0 && !isXmlName(name, nameLength)))
        return nullptr;
    Node* node = element(path, true);
    if (node)
        node->getAttributes()->removeByName(name ? name : u"");
    return node;
}

#define S_XML_SETTER(Method, Type, NodeSetter)                                       \
    bool MappedData::Method(const char16_t* path, const char16_t* name, Type value) \
    {                                                                                \
        Node* node = prepareSet(path, name);                                         \
        if (!node || !node->NodeSetter(name ? name : u"", value))                    \
            return false;                                                            \
        return changed();                                                            \
    }

S_XML_SETTER(setU8, uint8_t, setU8)
S_XML_SETTER(setU16, uint16_t, setU16)
S_XML_SETTER(setU32, uint32_t, setU32)
S_XML_SETTER(setU64, uint64_t, setU64)
S_XML_SETTER(setS8, int8_t, setS8)
S_XML_SETTER(setS16, int16_t, setS16)
S_XML_SETTER(setS32, int32_t, setS32)
S_XML_SETTER(setS64, int64_t, setS64)
S_XML_SETTER(setFloat, float, setFloat)
S_XML_SETTER(setDouble, double, setDouble)
S_XML_SETTER(setString, const char16_t*, setString)
S_XML_SETTER(setExpandString, const char16_t*, setString)

#undef S_XML_SETTER

bool MappedData::setBool(const char16_t* path, const char16_t* name, bool value)
{
    Node* node = prepareSet(path, name);
    if (!node || !node->setU32(name ? name : u"", value ? 1 : 0))
        return false;
    return changed();
}

bool MappedData::setBytes(const char16_t* path, const char16_t* name, const uint8_t* data, uint32_t count)
{
    Node* node = prepareSet(path, name);
    if (!node || !node->setU8Array(name ? name : u"", data, count))
        return false;
    return changed();
}

}
