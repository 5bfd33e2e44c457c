#include "foundation/str/StrBuffer.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/str/Ascii.h"
#include "foundation/str/Decimal.h"
#include "foundation/thread/ObjLocker.h"

#include <mutex>
#include <string_view>

// The text buffer's numbers: hex and decimal text, read and written without the process locale.
namespace s::str::strbuffer {

namespace {

size_t formatSigned(char* text, size_t size, int64_t value)
{
    return decimal::formatInt64(text, size, value);
}

// Unsigned 64-bit values take the "%I64d" form, their bits as a signed number ("-1" for the
// largest), which is what stored texts hold and what parseInt64 and parseUInt64 read back.
size_t formatUnsigned(char* text, size_t size, uint64_t value)
{
    return decimal::formatUInt64AsSigned(text, size, value);
}

size_t formatDouble(char* text, size_t size, double value)
{
    return decimal::formatFixed(text, size, value);
}

constexpr size_t formatRoom = decimal::maxFixedLength;

// The process-wide scratch text that the assign-number operations format into.
struct Scratch {
    thread::ObjLocker lock;
    char text[formatRoom];
};

Scratch& scratch()
{
    static Scratch instance;
    return instance;
}

}

// --- hex append ---

namespace {

template<class T>
void appendHexValues(StrBuffer& text, const T* values, uint32_t count)
{
    constexpr uint32_t digits = sizeof(T) * 2;
    static constexpr char16_t hex[] = u"0123456789abcdef";
    uint32_t start = text.length();
    text.reserve(start + count * digits);
    char16_t* out = text.units() + start;
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t value = values[i];
        for (uint32_t d = digits; d-- > 0;) {
            out[d] = hex[value & 0xF];
            value >>= 4;
        }
        out += digits;
    }
    text.setLength(start + count * digits);
}

}

void StrBuffer::appendHex32(const uint32_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex8(const uint8_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex16(const uint16_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

void StrBuffer::appendHex64(const uint64_t* values, uint32_t count)
{
    appendHexValues(*this, values, count);
}

// --- numbers in ---

int32_t StrBuffer::parseInt32(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    // Like the platform's wcstol, the text ends at an embedded NUL: a NUL is no digit.
    return decimal::parseInt32(std::u16string_view(m_units + from, m_length - from));
}

int64_t StrBuffer::parseInt64(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    return decimal::parseInt64(std::u16string_view(m_units + from, m_length - from));
}

uint64_t StrBuffer::parseUInt64(uint32_t from) const
{
    if (from >= m_length)
        return 0;
    return decimal::parseUInt64(std::u16string_view(m_units + from, m_length - from));
}

float StrBuffer::parseFloat() const
{
    return static_cast<float>(parseDouble());
}

double StrBuffer::parseDouble() const
{
    return decimal::parseDouble(view());
}

bool StrBuffer::isHex() const
{
    if (m_length == 0)
        return false;
    for (uint32_t i = 0; i < m_length; ++i) {
        if (ascii::hexValue(m_units[i]) < 0)
            return false;
    }
    return true;
}

uint8_t StrBuffer::hexDigitAt(uint32_t index) const
{
    int value = ascii::hexValue(m_units[index]);
    return value < 0 ? 0 : static_cast<uint8_t>(value);
}

void StrBuffer::hexToBytes(ArrayU08& out, bool append) const
{
    if (!append)
        out.clear();
    uint32_t pairs = m_length / 2;
    uint32_t start = out.count();
    out.ensureCapacity(start + pairs);
    uint8_t* o = out.items() + start;
    for (uint32_t i = 0; i < pairs; ++i)
        o[i] = static_cast<uint8_t>((hexDigitAt(2 * i) << 4) | hexDigitAt(2 * i + 1));
    out.setCount(start + pairs);
}

bool StrBuffer::isInteger() const
{
    if (m_length == 0)
        return false;
    uint32_t i = m_length > 1 && m_units[0] == u'-' ? 1 : 0;
    for (; i < m_length; ++i) {
        if (m_units[i] < u'0' || m_units[i] > u'9')
            return false;
    }
    return true;
}

// --- append numbers ---

void StrBuffer::appendInt64(int64_t value)
{
    reserve(m_length + 256);
    char text[32];
    appendLatin1(text, static_cast<int64_t>(formatSigned(text, sizeof text, value)));
}

void StrBuffer::appendUInt64(uint64_t value)
{
    reserve(m_length + 256);
    char text[32];
    appendLatin1(text, static_cast<int64_t>(formatUnsigned(text, sizeof text, value)));
}

void StrBuffer::appendDouble(double value)
{
    reserve(m_length + 256);
    char text[formatRoom];
    appendLatin1(text, static_cast<int64_t>(formatDouble(text, sizeof text, value)));
}

// --- assign numbers ---

template<class Format>
void StrBuffer::assignFormatted(Format format)
{
    Scratch& shared = scratch();
    std::lock_guard guard(shared.lock);
    size_t n = format(shared.text, sizeof shared.text);
    m_length = 0;
    appendLatin1(shared.text, static_cast<int64_t>(n));
}

void StrBuffer::assignInt64(int64_t value)
{
    assignFormatted([value](char* text, size_t size) { return formatSigned(text, size, value); });
}

void StrBuffer::assignUInt64(uint64_t value)
{
    assignFormatted([value](char* text, size_t size) { return formatUnsigned(text, size, value); });
}

void StrBuffer::assignDouble(double value)
{
    assignFormatted([value](char* text, size_t size) { return formatDouble(text, size, value); });
}

}
