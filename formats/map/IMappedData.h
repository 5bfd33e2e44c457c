#pragma once

#include "foundation/base/IObject.h"
#include "foundation/thread/IPoolable.h"

#include <cstdint>

namespace s::str::strbuffer {
class StrBuffer;
}
namespace s::col::_array {
class ArrayU08;
}

namespace s::map {

// A hierarchical store of typed values: a value is addressed by a key path (folders separated by
// "/" or "\", the empty path being the store's top) and a value name inside that folder. The XML
// store keeps the tree in a document written to a file; the registry store keeps it in the
// user's registry. Getters never fail: an absent key or value gives the caller's default.
// A store is used by one thread at a time.
class IMappedData : public base::IObject
    , public thread::IPoolable {
public:
    using StrBuffer = str::strbuffer::StrBuffer;
    using ArrayU08 = col::_array::ArrayU08;

    // Writes the store out (XML: the whole document to its file; registry: nothing to do).
    virtual bool flush() = 0;
    // Finds or creates every folder of the path; true when the key exists afterwards.
    virtual bool createKey(const char16_t* path) = 0;
    // Removes the key with everything below it.
    virtual bool deleteKey(const char16_t* path) = 0;
    // True when every folder of the path exists.
    virtual bool openKey(const char16_t* path) = 0;
    virtual bool hasValue(const char16_t* path, const char16_t* name) = 0;

    virtual uint8_t getU8(const char16_t* path, const char16_t* name, uint8_t defaultValue) = 0;
    virtual uint16_t getU16(const char16_t* path, const char16_t* name, uint16_t defaultValue) = 0;
    virtual uint32_t getU32(const char16_t* path, const char16_t* name, uint32_t defaultValue) = 0;
    virtual uint64_t getU64(const char16_t* path, const char16_t* name, uint64_t defaultValue) = 0;
    virtual int8_t getS8(const char16_t* path, const char16_t* name, int8_t defaultValue) = 0;
    virtual int16_t getS16(const char16_t* path, const char16_t* name, int16_t defaultValue) = 0;
    virtual int32_t getS32(const char16_t* path, const char16_t* name, int32_t defaultValue) = 0;
    virtual int64_t getS64(const char16_t* path, const char16_t* name, int64_t defaultValue) = 0;
    virtual float getFloat(const char16_t* path, const char16_t* name, float defaultValue) = 0;
    virtual double getDouble(const char16_t* path, const char16_t* name, double defaultValue) = 0;
    virtual bool getBool(const char16_t* path, const char16_t* name, bool defaultValue) = 0;
    // The value text (or a copy of the default) in the store's scratch buffer, valid until the
    // next string read. `expandable` (may be null) tells whether the value holds environment
    // references; with `expand` set they are replaced by the variables' values.
    virtual const StrBuffer& getString(const char16_t* path, const char16_t* name, const char16_t* defaultValue,
        bool* expandable = nullptr, bool expand = false)
        = 0;
    // The value's bytes into target (replacing its content), or into a new array when target is
    // null (the caller releases it). Returns the array, or null when there is no such value and
    // no target was given.
    virtual ArrayU08* getBytes(const char16_t* path, const char16_t* name, ArrayU08* target = nullptr) = 0;
    virtual bool deleteValue(const char16_t* path, const char16_t* name) = 0;

    // Setters answer false when the value was not stored: a key path or value name the store
    // cannot hold (the XML store takes only XML names; nothing is created then), or a write
    // that failed (the registry store, and the XML store with auto-save on).
    virtual bool setU8(const char16_t* path, const char16_t* name, uint8_t value) = 0;
    virtual bool setU16(const char16_t* path, const char16_t* name, uint16_t value) = 0;
    virtual bool setU32(const char16_t* path, const char16_t* name, uint32_t value) = 0;
    virtual bool setU64(const char16_t* path, const char16_t* name, uint64_t value) = 0;
    virtual bool setS8(const char16_t* path, const char16_t* name, int8_t value) = 0;
    virtual bool setS16(const char16_t* path, const char16_t* name, int16_t value) = 0;
    virtual bool setS32(const char16_t* path, const char16_t* name, int32_t value) = 0;
    virtual bool setS64(const char16_t* path, const char16_t* name, int64_t value) = 0;
    virtual bool setFloat(const char16_t* path, const char16_t* name, float value) = 0;
    virtual bool setDouble(const char16_t* path, const char16_t* name, double value) = 0;
    virtual bool setBool(const char16_t* path, const char16_t* name, bool value) = 0;
    virtual bool setString(const char16_t* path, const char16_t* name, const char16_t* value) = 0;
    virtual bool setExpandString(const char16_t* path, const char16_t* name, const char16_t* value) = 0;
    virtual bool setBytes(const char16_t* path, const char16_t* name, const uint8_t* data, uint32_t count) = 0;
    bool setBytes(const char16_t* path, const char16_t* name, const ArrayU08& bytes);

    // XML store: rewrite the file after every change. No effect on the registry store, which
    // always writes through.
    bool getAutoSave() const { return m_autoSave; }
    void setAutoSave(bool autoSave) { m_autoSave = autoSave; }

protected:
    bool m_autoSave { false };
};

}
