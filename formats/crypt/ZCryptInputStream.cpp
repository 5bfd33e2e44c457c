#include "formats/crypt/ZCryptInputStream.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/str/StrBuffer.h"

#include <algorithm>
#include <cstring>

namespace s::crypt::zcrypt {

void ZCryptInputStream::reset()
{
    m_inner = nullptr;
    m_password.clear();
    m_passwordBytes.clear();
}

void ZCryptInputStream::setPassword(std::u16string_view password)
{
    m_password.assign(password);
    m_password.toUtf8(m_passwordBytes);
    m_keys.init(m_passwordBytes.items(), m_passwordBytes.count());
}

bool ZCryptInputStream::read(void* buffer, uint32_t count, uint32_t& got)
{
    got = 0;
    if (!m_inner)
        return false;
    uint32_t done = 0;
    if (!m_inner->read(m_work, std::min(count, workSize), done))
        return false;
    for (uint32_t i = 0; i < done; ++i)
        m_work[i] = m_keys.decrypt(m_work[i]);
    std::memcpy(buffer, m_work, done);
    got = done;
    return done > 0;
}

}
