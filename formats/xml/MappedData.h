#pragma once

#include "formats/map/IMappedData.h"
#include "foundation/file/os/Path.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

namespace s::xml {

class Node;

// The key/value store over an XML document: every folder of a key path is a child element of
// the previous one, starting at the root element; a value is an attribute of the folder's
// element. Folder names match exactly (case-sensitive), value names ignoring case. The key path
// of the last call is remembered, so a group of values in one folder is found once.
//
// flush() replaces the file as a whole: a failed or interrupted write leaves the old file. A
// file that was there but could not be read when the store was made is never overwritten (flush
// fails and says so on stderr) while it is still there.
class MappedData final : public map::IMappedData {
    S_POOLED_CLASS(MappedData, "s_xml_MappedData")
public:
    MappedData() = default;
    ~MappedData() override;

    // A store tied to a file (path may be null for a store in memory only). With `load` set and
    // the file present, the file's document is the tree; otherwise (or when the file holds no
    // element) a new root element with the given name.
    static thread::Pooled<MappedData> create(const char16_t* filePath, const char16_t* rootName, bool load);

    void reset() override;

    void setFilePath(const char16_t* filePath);
    const file::os::Path* filePath() const { return m_file.get(); }
    Node* root() const { return m_root; }
    // Replaces the tree (the store now owns root) and forgets the remembered path.
    void setRoot(Node* root);

    bool flush() override;
    bool createKey(const char16_t* path) override;
    bool deleteKey(const char16_t* path) override;
    bool openKey(const char16_t* path) override;
    bool hasValue(const char16_t* path, const char16_t* name) override;

    uint8_t getU8(const char16_t* path, const char16_t* name, uint8_t defaultValue) override;
    uint16_t getU16(const char16_t* path, const char16_t* name, uint16_t defaultValue) override;
    uint32_t getU32(const char16_t* path, const char16_t* name, uint32_t defaultValue) override;
    uint64_t getU64(const char16_t* path, const char16_t* name, uint64_t defaultValue) override;
    int8_t getS8(const char16_t* path, const char16_t* name, int8_t defaultValue) override;
    int16_t getS16(const char16_t* path, const char16_t* name, int16_t defaultValue) override;
    int32_t getS32(const char16_t* path, const char16_t* name, int32_t defaultValue) override;
    int64_t getS64(const char16_t* path, const char16_t* name, int64_t defaultValue) override;
    float getFloat(const char16_t* path, const char16_t* name, float defaultValue) override;
    double getDouble(const char16_t* path, const char16_t* name, double defaultValue) override;
    bool getBool(const char16_t* path, const char16_t* name, bool defaultValue) override;
    const StrBuffer& getString(const char16_t* path, const char16_t* name, const char16_t* defaultValue,
        bool* expandable = nullptr, bool expand = false) override;
    ArrayU08* getBytes(const char16_t* path, const char16_t* name, ArrayU08* target = nullptr) override;
    bool deleteValue(const char16_t* path, const char16_t* name) override;

    bool setU8(const char16_t* path, const char16_t* name, uint8_t value) override;
    bool setU16(const char16_t* path, const char16_t* name, uint16_t value) override;
    bool setU32(const char16_t* path, const char16_t* name, uint32_t value) override;
    bool setU64(const char16_t* path, const char16_t* name, uint64_t value) override;
    bool setS8(const char16_t* path, const char16_t* name, int8_t value) override;
    bool setS16(const char16_t* path, const char16_t* name, int16_t value) override;
    bool setS32(const char16_t* path, const char16_t* name, int32_t value) override;
    bool setS64(const char16_t* path, const char16_t* name, int64_t value) override;
    bool setFloat(const char16_t* path, const char16_t* name, float value) override;
    bool setDouble(const char16_t* path, const char16_t* name, double value) override;
    bool setBool(const char16_t* path, const char16_t* name, bool value) override;
    bool setString(const char16_t* path, const char16_t* name, const char16_t* value) override;
    bool setExpandString(const char16_t* path, const char16_t* name, const char16_t* value) override;
    bool setBytes(const char16_t* path, const char16_t* name, const uint8_t* data, uint32_t count) override;
    using IMappedData::setBytes;

private:
    // The element of the key path, created on the way when `create` is set; null when missing.
    Node* element(const char16_t* path, bool create);
    // The stored value of the first attribute of that name, or null.
    const char16_t* raw(const char16_t* path, const char16_t* name);
    // The element a setter writes to, with any earlier value of that name removed.
    Node* prepareSet(const char16_t* path, const char16_t* name);
    // Flushes when auto-save is on; false when that write failed.
    bool changed();
    static bool isStorablePath(const char16_t* path);

    thread::Pooled<file::os::Path> m_file { nullptr };
    StrBuffer m_scratch;
    StrBuffer m_rememberedPath;
    Node* m_root { nullptr };
    Node* m_current { nullptr };
    bool m_unreadFile { false };
    bool m_unreadReported { false };
};

}
