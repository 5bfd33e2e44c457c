#pragma once

#include "formats/crypt/Crc32.h"

#include <cstdint>

namespace s::crypt::zcrypt {

// The key state of the traditional ZIP stream cipher: three 32-bit keys that advance with every
// plain byte. Weak by today's measure; it keeps short texts out of casual sight and reads what
// the old ZIP tools wrote.
class ZipKeys {
public:
    static constexpr uint32_t initialKey0 = 0x12345678;
    static constexpr uint32_t initialKey1 = 0x23456789;
    static constexpr uint32_t initialKey2 = 0x34567890;

    ZipKeys() = default;

    // Starts over and mixes the password's bytes in, in order.
    void init(const uint8_t* password, uint32_t size)
    {
        key0 = initialKey0;
        key1 = initialKey1;
        key2 = initialKey2;
        for (uint32_t i = 0; i < size; ++i)
            update(password[i]);
    }

    void update(uint8_t plain)
    {
        key0 = crc32Step(key0, plain);
        key1 = (key1 + (key0 & 0xFF)) * 134775813u + 1;
        key2 = crc32Step(key2, static_cast<uint8_t>(key1 >> 24));
    }

    uint8_t streamByte() const
    {
        uint16_t t = static_cast<uint16_t>(key2 | 2);
        return static_cast<uint8_t>((static_cast<uint32_t>(t) * (t ^ 1)) >> 8);
    }

    // Both directions advance the keys with the plain byte.
    uint8_t encrypt(uint8_t plain)
    {
        uint8_t cipher = plain ^ streamByte();
        update(plain);
        return cipher;
    }
    uint8_t decrypt(uint8_t cipher)
    {
        uint8_t plain = cipher ^ streamByte();
        update(plain);
        return plain;
    }

    void encrypt(uint8_t* data, uint32_t size)
    {
        for (uint32_t i = 0; i < size; ++i)
            data[i] = encrypt(data[i]);
    }
    void decrypt(uint8_t* data, uint32_t size)
    {
        for (uint32_t i = 0; i < size; ++i)
            data[i] = decrypt(data[i]);
    }

    uint32_t key0 { initialKey0 };
    uint32_t key1 { initialKey1 };
    uint32_t key2 { initialKey2 };
};

}
