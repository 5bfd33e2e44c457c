#include "formats/crypt/LetterCoding.h"

#include "formats/crypt/ZCryptInputStream.h"
#include "formats/crypt/ZCryptOutputStream.h"
#include "foundation/str/StrBuffer.h"

namespace s::crypt::zcrypt {

using str::strbuffer::StrBuffer;

thread::Pooled<StrBuffer> encryptToLetters(std::u16string_view plain, std::u16string_view password)
{
    // 1. A result buffer and a keyed cipher, both from their pools.
    thread::Pooled<StrBuffer> letters;
    thread::Pooled<ZCryptOutputStream> cipher;
    cipher->setPassword(password);
    ZipKeys& keys = cipher->keys();

    // 2. High byte, then low byte of every unit, each as two letters.
    letters->reserveExactly(static_cast<uint32_t>(plain.size() * 4));
    for (char16_t unit : plain) {
        if (unit == 0)
            break;
        for (uint8_t byte : { static_cast<uint8_t>(unit >> 8), static_cast<uint8_t>(unit & 0xFF) }) {
            uint8_t c = keys.encrypt(byte);
            letters->append(static_cast<char16_t>(u'A' + (c >> 4)));
            letters->append(static_cast<char16_t>(u'A' + (c & 0xF)));
        }
    }
    return letters;
}

thread::Pooled<StrBuffer> decryptFromLetters(std::u16string_view letters, std::u16string_view password)
{
    thread::Pooled<StrBuffer> plain;
    thread::Pooled<ZCryptInputStream> cipher;
    cipher->setPassword(password);
    ZipKeys& keys = cipher->keys();

    auto byteAt = [&](size_t i) {
        return static_cast<uint8_t>((static_cast<unsigned>(letters[i] - u'A') << 4) + static_cast<unsigned>(letters[i + 1] - u'A'));
    };
    size_t groups = letters.size() / 4;
    plain->reserveExactly(static_cast<uint32_t>(groups));
    for (size_t g = 0; g < groups; ++g) {
        uint8_t high = keys.decrypt(byteAt(g * 4));
        uint8_t low = keys.decrypt(byteAt(g * 4 + 2));
        plain->append(static_cast<char16_t>((high << 8) | low));
    }
    return plain;
}

}
