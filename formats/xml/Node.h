#pragma once

#include "formats/xml/Attributes.h"
#include "formats/xml/IXml.h"
#include "foundation/base/IObject.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <vector>

namespace s::str::strbuffer {
class StrBuffer;
}
namespace s::col::_array {
class ArrayU08;
}
namespace s::file::os {
class Path;
}

namespace s::xml {

class TextArena;

// One element of the program's own small XML dialect: a name, ordered attributes (with the
// element's text runs kept as records with an empty name) and ordered children. The reader is
// lenient and never fails; the writer is compact (no declaration, indentation or line breaks).
//
// Texts are NUL-terminated UTF-16; a length of -1 means "up to the NUL". A node owns its
// children and releases them to the node pool with itself.
class Node final : public IXml
    , public base::IObject
    , public thread::IPoolable {
    S_POOLED_CLASS(Node, "s_xml_Node")
public:
    using StrBuffer = str::strbuffer::StrBuffer;
    using ArrayU08 = col::_array::ArrayU08;
    using Path = file::os::Path;

    Node();
    ~Node() override;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    void reset() override { clear(); }

    virtual uint32_t childCount() const;
    // Frees the name, releases all attribute records and all children.
    virtual void clear();

    // Reads the first element at or after text into this node and returns the position just
    // after it (the NUL when the text ends first). An XML declaration, processing instructions,
    // comments and a document type before it (and inside it) are passed over. The caller's text
    // is not changed: the node reads its own copy, which its names and values then point into.
    virtual const char16_t* parse(const char16_t* text);
    // Decodes UTF-8 bytes (a leading byte-order mark is skipped) and parses them. True when an
    // element name was read. (The decoded text is the node's own, so no position is returned.)
    virtual bool parseBytes(const ArrayU08* bytes);
    bool parseBytes(const uint8_t* bytes, uint64_t size);

    virtual const char16_t* getName() const;
    uint32_t nameLength() const { return m_nameLength; }
    // Refuses (false, nothing changed) a name that is neither empty nor a valid XML name, which
    // could not be written and read back.
    virtual bool setName(const char16_t* name, int32_t length = -1);
    // With an explicit length: exact and case-sensitive on exactly that many units. With -1:
    // whole names compared ignoring case.
    virtual bool nameEquals(const char16_t* name, int32_t length = -1) const;
    virtual bool isComment() const;

    virtual Node* childAt(uint32_t index) const;
    // Null, and nothing added, for a name that setName refuses.
    virtual Node* addChild(const char16_t* name, int32_t length = -1);
    // Ownership of node passes to this node.
    virtual Node* appendChild(Node* node);
    virtual void removeChildAt(uint32_t index);
    // Index of the first child with that name (lookup rule of nameEquals); index may be null.
    virtual bool findChild(const char16_t* name, uint32_t* index = nullptr, int32_t length = -1) const;
    virtual Node* getChild(const char16_t* name, int32_t length = -1) const;

    // Each setter appends one attribute record (an empty name sets the element's text). A name
    // that is not a valid XML name is refused: false, and nothing is added.
    virtual bool setU64(const char16_t* name, uint64_t value);
    virtual bool setU32(const char16_t* name, uint32_t value);
    virtual bool setU16(const char16_t* name, uint16_t value);
    virtual bool setU8(const char16_t* name, uint8_t value);
    virtual bool setS64(const char16_t* name, int64_t value);
    virtual bool setS32(const char16_t* name, int32_t value);
    virtual bool setS16(const char16_t* name, int16_t value);
    virtual bool setS8(const char16_t* name, int8_t value);
    virtual bool setFloat(const char16_t* name, float value);
    virtual bool setDouble(const char16_t* name, double value);
    // Escapes the value for an attribute, or for element text when the name is empty.
    virtual bool setString(const char16_t* name, const char16_t* value, int32_t length = -1);

    // Elements one after another as fixed-width lowercase hex, no separator.
    virtual bool setU64Array(const char16_t* name, const uint64_t* values, uint32_t count);
    virtual bool setU32Array(const char16_t* name, const uint32_t* values, uint32_t count);
    virtual bool setU16Array(const char16_t* name, const uint16_t* values, uint32_t count);
    virtual bool setU8Array(const char16_t* name, const uint8_t* values, uint32_t count);
    virtual bool setS64Array(const char16_t* name, const int64_t* values, uint32_t count);
    virtual bool setS32Array(const char16_t* name, const int32_t* values, uint32_t count);
    virtual bool setS16Array(const char16_t* name, const int16_t* values, uint32_t count);
    virtual bool setS8Array(const char16_t* name, const int8_t* values, uint32_t count);
    virtual bool setFloatArray(const char16_t* name, const float* values, uint32_t count);
    virtual bool setDoubleArray(const char16_t* name, const double* values, uint32_t count);

    // The stored (still escaped) value of the first attribute of that name, else the default.
    virtual const char16_t* getRaw(const char16_t* name, const char16_t* defaultValue = nullptr) const;
    // Parsed value of the first match; the default only when there is no match (a value that
    // does not start with a number gives 0).
    virtual bool getBool(const char16_t* name, bool defaultValue = false) const;
    virtual int8_t getS8(const char16_t* name, int8_t defaultValue = 0) const;
    virtual int16_t getS16(const char16_t* name, int16_t defaultValue = 0) const;
    virtual int32_t getS32(const char16_t* name, int32_t defaultValue = 0) const;
    virtual int64_t getS64(const char16_t* name, int64_t defaultValue = 0) const;
    virtual uint8_t getU8(const char16_t* name, uint8_t defaultValue = 0) const;
    virtual uint16_t getU16(const char16_t* name, uint16_t defaultValue = 0) const;
    virtual uint32_t getU32(const char16_t* name, uint32_t defaultValue = 0) const;
    virtual uint64_t getU64(const char16_t* name, uint64_t defaultValue = 0) const;
    // The decoded value of the first match into target (appended or replacing); the default
    // (may be null = empty) when there is none. Returns target.
    virtual StrBuffer* getString(StrBuffer* target, const char16_t* name, const char16_t* defaultValue = nullptr, bool append = false) const;

    // Serialises the element into target, or into a buffer from the pool when target is null
    // (the caller releases it). Without append the target is emptied first.
    virtual StrBuffer* writeTo(StrBuffer* target = nullptr, bool append = false) const;
    // The element as UTF-8 without byte-order mark (a NUL follows the data, not counted).
    // The caller releases the array.
    virtual ArrayU08* toUtf8Bytes() const;

    virtual Attributes* getAttributes();
    const Attributes* getAttributes() const;

    // Reads the whole file and parses it; false when it cannot be read in full (the node then
    // holds nothing, or what a partial read gave).
    virtual bool load(const char16_t* path);
    virtual bool loadFile(Path* path);
    // Creates missing folders and replaces the file as a whole: a save that fails or is cut
    // short leaves the previous file.
    virtual bool save(const char16_t* path) const;
    virtual bool saveFile(Path* path) const;

private:
    class Reader;
    char16_t* parseInPlace(char16_t* text);
    template<class Number, class... Format>
    bool addNumber(const char16_t* name, Number value, Format... format);
    const char16_t* parseContent(const char16_t* p);

    std::vector<Node*> m_children;
    Attributes m_attributes;
    char16_t* m_name { nullptr };
    uint32_t m_nameLength { 0 };
    // The name lives in the parsed document's block, not on the heap.
    bool m_nameBorrowed { false };
    // The block of the parsed document this node's texts come from, if any (one reference).
    TextArena* m_arena { nullptr };
};

}
