#pragma once

#include "formats/map/IMappedData.h"
#include "formats/reg/os/RegDir.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <string>

namespace s::reg {

// The key/value store over the user's registry: the key path is appended to the base key's path
// with "\" between them, a value is a registry value of that key. Every setter writes through at
// once (auto-save has no effect). Getters check the stored length, not the type, as the platform
// does: the 8-, 16- and 32-bit getters, getFloat and getBool need 4 bytes, the 64-bit ones and
// getDouble 8; anything else gives the default.
class MappedData final : public map::IMappedData {
    S_POOLED_CLASS(MappedData, "s_reg_MappedData")
public:
    MappedData() = default;
    ~MappedData() override = default;

    // A store below root\basePath ("Software\Pellix\<program>\SaveData" for the settings).
    static thread::Pooled<MappedData> create(os::RootKey root, const char16_t* basePath);

    void reset() override;

    void setBase(os::RootKey root, const char16_t* basePath);
    // For tests and tools: keep the keys in another hive file than the user's.
    void setHive(os::Hive* hive);
    const os::RegDir* base() const { return m_base.get(); }

    // Replaces $NAME, ${NAME} and %NAME% by the environment variable's value; references to
    // variables that are not set stay as they are.
    static void expandEnvironment(std::u16string_view text, StrBuffer& out);

    bool flush() override { return true; }
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
    // The key of the path (the base key for the empty path); with `create`, made when missing.
    // Null when it does not exist.
    os::RegDir* key(const char16_t* path, bool create);
    bool readFixed(const char16_t* path, const char16_t* name, void* out, uint32_t size);
    bool write(const char16_t* path, const char16_t* name, os::ValueType type, const void* data, uint32_t size);
    bool writeText(const char16_t* path, const char16_t* name, os::ValueType type, const char16_t* value);

    std::u16string m_keyPath; // scratch for the full key path
    std::u16string m_rememberedPath;
    thread::Pooled<os::RegDir> m_base { nullptr };
    thread::Pooled<os::RegDir> m_current { nullptr };
    bool m_currentExists { false };
    os::Hive* m_hive { nullptr };
    StrBuffer m_scratch;
    std::vector<uint8_t> m_data;
};

}
