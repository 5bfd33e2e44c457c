#pragma once

#include "formats/crypt/ZipKeys.h"
#include "foundation/base/IObject.h"
#include "foundation/col/ArrayU08.h"
#include "foundation/io/IOutputStream.h"
#include "foundation/str/StrBuffer.h"
#include "foundation/thread/Pool.h"

#include <cstdint>
#include <string_view>


namespace s::crypt::zcrypt {

// Enciphers everything written to it with the ZIP stream cipher and passes it on to an inner
// stream (not owned). Also the key holder of the letter coding.
class ZCryptOutputStream final : public base::IObject
    , public io::IOutputStream
    , public thread::IPoolable {
    S_POOLED_CLASS(ZCryptOutputStream, "s_crypt_zcrypt_ZCryptOutputStream")
public:
    static constexpr uint32_t workSize = 1024;

    ZCryptOutputStream() = default;
    ~ZCryptOutputStream() override = default;
    ZCryptOutputStream(const ZCryptOutputStream&) = delete;
    ZCryptOutputStream& operator=(const ZCryptOutputStream&) = delete;

    // Drops the inner stream and clears the password (the keys stay as they are).
    void reset() override;

    void setInner(io::IOutputStream* inner) { m_inner = inner; }
    io::IOutputStream* inner() const { return m_inner; }

    // Starts the keys over and keys them with the password's UTF-8 bytes.
    void setPassword(std::u16string_view password);
    ZipKeys& keys() { return m_keys; }

    // Enciphers in chunks of at most workSize bytes; fails as soon as an inner write fails.
    bool write(const void* data, uint32_t count, uint32_t& written) override;
    bool flush() override;

private:
    ZipKeys m_keys;
    // Held by value: a pooled member would go back to its own pool, which may be gone when
    // this pool empties itself at exit.
    str::strbuffer::StrBuffer m_password;
    col::_array::ArrayU08 m_passwordBytes;
    uint8_t m_work[workSize];
    io::IOutputStream* m_inner { nullptr };
};

}
