#include "formats/crypt/Crc32.h"
#include "formats/crypt/ZipKeys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using s::crypt::zcrypt::ZipKeys;

namespace {

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

uint32_t le16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t le32(const uint8_t* p) { return le16(p) | (le16(p + 2) << 16); }

}

TEST(Crc32, MatchesTheCheckValueAndTheTable)
{
    const char* check = "123456789";
    EXPECT_EQ(s::crypt::crc32(reinterpret_cast<const uint8_t*>(check), 9), 0xCBF43926u);
    EXPECT_EQ(s::crypt::crc32Table[0], 0u);
    EXPECT_EQ(s::crypt::crc32Table[1], 0x77073096u);
    EXPECT_EQ(s::crypt::crc32Table[255], 0x2D02EF8Du);
}

// secret.zip was made by Info-ZIP with `zip -0 -P 'pässwörd' -X secret.zip note.txt` (stored, not
// deflated, so the decrypted data is the file itself). Reading it back with our keys proves the
// keystream byte for byte against an independent implementation.
TEST(ZipKeys, DecryptsWhatInfoZipEncrypted)
{
    std::vector<uint8_t> zip = readFile(TEST_DATA_DIR "/secret.zip");
    std::vector<uint8_t> plain = readFile(TEST_DATA_DIR "/note.txt");
    ASSERT_GE(zip.size(), 30u);
    ASSERT_FALSE(plain.empty());
    const uint8_t* h = zip.data();
    ASSERT_EQ(le32(h), 0x04034b50u) << "a local file header";
    uint32_t flags = le16(h + 6);
    ASSERT_TRUE(flags & 1) << "the entry is encrypted";
    ASSERT_EQ(le16(h + 8), 0u) << "the entry is stored";
    uint32_t modTime = le16(h + 10);
    uint32_t crc = le32(h + 14);
    uint32_t nameLength = le16(h + 26);
    uint32_t extraLength = le16(h + 28);
    size_t dataStart = 30 + nameLength + extraLength;
    ASSERT_GE(zip.size(), dataStart + 12 + plain.size());

    const std::string utf8Password = "p\xc3\xa4ssw\xc3\xb6rd";
    ZipKeys keys;
    keys.init(reinterpret_cast<const uint8_t*>(utf8Password.data()), static_cast<uint32_t>(utf8Password.size()));
    std::vector<uint8_t> body(zip.begin() + dataStart, zip.begin() + dataStart + 12 + plain.size());
    keys.decrypt(body.data(), static_cast<uint32_t>(body.size()));

    // The last header byte is the check byte: the CRC's high byte, or the time's when the sizes
    // follow the data (flag bit 3).
    uint8_t expectedCheck = (flags & 8) ? static_cast<uint8_t>(modTime >> 8) : static_cast<uint8_t>(crc >> 24);
    EXPECT_EQ(body[11], expectedCheck);
    EXPECT_EQ(std::vector<uint8_t>(body.begin() + 12, body.end()), plain);
    EXPECT_EQ(s::crypt::crc32(body.data() + 12, plain.size()), crc);

    // And encrypting the decrypted bytes with fresh keys gives Info-ZIP's bytes again.
    ZipKeys again;
    again.init(reinterpret_cast<const uint8_t*>(utf8Password.data()), static_cast<uint32_t>(utf8Password.size()));
    again.encrypt(body.data(), static_cast<uint32_t>(body.size()));
    EXPECT_EQ(0, std::memcmp(body.data(), zip.data() + dataStart, body.size()));
}
