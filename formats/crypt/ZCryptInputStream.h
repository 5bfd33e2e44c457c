#pragma once

#include "formats/crypt/ZipKeys.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/io/IInputStream.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string_view>


namespace s::crypt::zcrypt {

// Deciphers what it reads from an inner stream (not owned) with the ZIP stream cipher.
class ZCryptInputStream final : public base::IObject
    , public io::IInputStream
    , public thread::IPoolable {
    S_POOLED_CLASS(ZCryptInputStream, "s_crypt_zcrypt_ZCryptInputStream")
public:
    static constexpr uint32_t workSize = 1024;

    ZCryptInputStream() = default;
    ~ZCryptInputStream() override = default;
    ZCryptInputStream(const ZCryptInputStream&) = delete;
    ZCryptInputStream& operator=(const ZCryptInputStream&) = delete;

    void reset() override;

    void setInner(io::IInputStream* inner) { m_inner = inner; }
    io::IInputStream* inner() const { return m_inner; }

    void setPassword(std::u16string_view password);
    ZipKeys& keys() { return m_keys; }

    // Reads at most min(count, workSize) bytes from the inner stream and deciphers them.
    bool read(void* buffer, uint32_t count, uint32_t& got) override;

private:
    ZipKeys m_keys;
    // Held by value: a pooled member would go back to its own pool, which may be gone when
    // this pool empties itself at exit.
    str::strbuffer::StrBuffer m_password;
    col::_array::ArrayU08 m_passwordBytes;
    uint8_t m_work[workSize];
    io::IInputStream* m_inner { nullptr };
};

}
