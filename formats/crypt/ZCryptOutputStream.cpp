#include "formats/crypt/ZCryptOutputStream.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/str/StrBuffer.h"

#include <algorithm>
#include <cstring>

namespace s::crypt::zcrypt {

void ZCryptOutputStream::reset()
{
    m_inner = nullptr;
    m_password.clear();
    m_passwordBytes.clear();
}

void ZCryptOutputStream::setPassword(std::u16string_view password)
{
    m_password.assign(password);
    m_password.toUtf8(m_passwordBytes);
    m_keys.init(m_passwordBytes.items(), m_passwordBytes.count());
}

bool ZCryptOutputStream::write(const void* data, uint32_t count, uint32_t& written)
{
    written = 0;
    if (!m_inner)
        return false;
    auto* bytes = static_cast<const uint8_t*>(data);
    while (count > 0) {
        uint32_t chunk = std::min(count, workSize);
        for (uint32_t i = 0; i < chunk; ++i)
            m_work[i] = m_keys.encrypt(bytes[i]);
        uint32_t done = 0;
        bool ok = m_inner->write(m_work, chunk, done);
        written += done;
        if (!ok)
            return false;
        bytes += chunk;
        count -= chunk;
    }
    return true;
}

bool ZCryptOutputStream::flush()
{
    return m_inner ? m_inner->flush() : false;
}

}
