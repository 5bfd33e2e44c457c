#include "foundation/str/StrBuffer.h"

#include "foundation/col/ArrayU08.h"
#include "foundation/str/CodePage.h"
#include "foundation/str/Utf8.h"

#include <algorithm>
#include <cstring>
#include <string>

// The text buffer's conversions to and from bytes: UTF-8, UTF-16 and the code pages.
namespace s::str::strbuffer {

// --- conversion to and from bytes ---

bool StrBuffer::toByteStream(io::IOutputStream& out) const
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(m_units);
    uint64_t left = static_cast<uint64_t>(m_length) * sizeof(char16_t);
    while (left > 0) {
        uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>(left, 1u << 30));
        uint32_t written = 0;
        if (!out.write(bytes, chunk, written) || written != chunk)
            return false;
        bytes += chunk;
        left -= chunk;
    }
    return true;
}

namespace {

// Makes `out` hold `count` bytes from `data` followed by an uncounted 0 byte.
void setBytes(col::_array::ArrayU08& out, const void* data, size_t count)
{
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(count + 2));
    if (count)
        std::memcpy(out.items(), data, count);
    out.setCount(static_cast<uint32_t>(count));
    out.items()[count] = 0;
}

void encodeUtf8Into(col::_array::ArrayU08& out, const char16_t* units, uint32_t length)
{
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(Utf8::maxEncodedSize(length) + 2));
    size_t n = Utf8::encode(units, length, out.items());
    out.setCount(static_cast<uint32_t>(n));
    out.items()[n] = 0;
}

void encodeUtf16Into(col::_array::ArrayU08& out, const char16_t* units, uint32_t length, bool swap)
{
    size_t bytes = static_cast<size_t>(length) * 2;
    out.clear();
    out.ensureCapacity(static_cast<uint32_t>(bytes + 2));
    uint8_t* o = out.items();
    if (length)
        std::memcpy(o, units, bytes);
    if (swap) {
        for (size_t i = 0; i < bytes; i += 2)
            std::swap(o[i], o[i + 1]);
    }
    out.setCount(static_cast<uint32_t>(bytes));
    o[bytes] = 0;
    o[bytes + 1] = 0;
}

void encodeInto(col::_array::ArrayU08& out, const char16_t* units, uint32_t length, const system::codepage::CodePage& page)
{
    using system::codepage::CodePage;
    switch (page.number()) {
    case CodePage::utf8:
        encodeUtf8Into(out, units, length);
        return;
    case CodePage::utf16LE:
        encodeUtf16Into(out, units, length, false);
        return;
    case CodePage::utf16BE:
        encodeUtf16Into(out, units, length, true);
        return;
    default: {
        std::string bytes;
        page.encode(units, length, bytes);
        setBytes(out, bytes.data(), bytes.size());
        return;
    }
    }
}

// Adds the terminating 0 (a 0 unit for the UTF-16 pages) and counts it.
void terminateBytes(col::_array::ArrayU08& out, uint32_t number)
{
    bool wide = number == system::codepage::CodePage::utf16LE || number == system::codepage::CodePage::utf16BE;
    out.push(0);
    if (wide)
        out.push(0);
}

}

void StrBuffer::toUtf8Terminated(ArrayU08& out) const
{
    encodeUtf8Into(out, m_units, m_length);
    out.push(0);
}

void StrBuffer::toUtf8(ArrayU08& out) const
{
    encodeUtf8Into(out, m_units, m_length);
}

void StrBuffer::fromUtf8(const void* bytes, int64_t count, bool append)
{
    const auto* in = static_cast<const uint8_t*>(bytes);
    size_t n = count < 0 ? std::strlen(static_cast<const char*>(bytes)) : static_cast<size_t>(count);
    if (!append)
        m_length = 0;
    reserve(static_cast<uint32_t>(m_length + Utf8::maxDecodedSize(n)));
    m_length += static_cast<uint32_t>(Utf8::decode(in, n, m_units + m_length));
}

void StrBuffer::toCodePageTerminated(ArrayU08& out, const CodePage& page) const
{
    encodeInto(out, m_units, m_length, page);
    terminateBytes(out, page.number());
}

void StrBuffer::toCodePage(ArrayU08& out, const CodePage& page) const
{
    encodeInto(out, m_units, m_length, page);
}

void StrBuffer::fromCodePage(const void* bytes, int64_t count, const CodePage& page, bool append)
{
    const auto* in = static_cast<const uint8_t*>(bytes);
    const uint32_t number = page.number();
    if (number == CodePage::utf8) {
        fromUtf8(bytes, count, append);
        return;
    }
    if (!append)
        m_length = 0;
    if (number == CodePage::utf16LE || number == CodePage::utf16BE) {
        size_t units = 0;
        if (count < 0) {
            while (in[units * 2] != 0 || in[units * 2 + 1] != 0)
                ++units;
        } else {
            units = static_cast<size_t>(count) / 2; // an odd last byte is no unit
        }
        reserve(static_cast<uint32_t>(m_length + units));
        char16_t* out = m_units + m_length;
        for (size_t i = 0; i < units; ++i) {
            uint8_t first = in[2 * i], second = in[2 * i + 1];
            out[i] = number == CodePage::utf16LE ? static_cast<char16_t>(first | (second << 8)) : static_cast<char16_t>((first << 8) | second);
        }
        m_length += static_cast<uint32_t>(units);
        return;
    }
    size_t n = count < 0 ? std::strlen(static_cast<const char*>(bytes)) : static_cast<size_t>(count);
    page.decode(in, n, *this);
}

void StrBuffer::toOemTerminated(ArrayU08& out) const
{
    auto page = CodePage::make(CodePage::oem);
    toCodePageTerminated(out, *page);
}

void StrBuffer::toOem(ArrayU08& out) const
{
    auto page = CodePage::make(CodePage::oem);
    toCodePage(out, *page);
}

void StrBuffer::fromOem(const void* bytes, int64_t count, bool append)
{
    auto page = CodePage::make(CodePage::oem);
    fromCodePage(bytes, count, *page, append);
}

}
