#include "formats/xml/TextArena.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace s::xml {

namespace {

constexpr size_t minimumChunk = 64 * 1024;
constexpr size_t alignment = alignof(std::max_align_t);

size_t aligned(size_t n) { return (n + alignment - 1) & ~(alignment - 1); }

}

TextArena* TextArena::make(size_t firstChunk)
{
    size_t size = std::max(firstChunk, minimumChunk);
    auto* chunk = static_cast<Chunk*>(std::malloc(aligned(sizeof(Chunk)) + size));
    if (!chunk)
        throw std::bad_alloc();
    chunk->next = nullptr;
    chunk->size = size;
    return new TextArena(chunk);
}

TextArena::TextArena(Chunk* first)
    : m_chunks(first)
    , m_next(reinterpret_cast<uint8_t*>(first) + aligned(sizeof(Chunk)))
    , m_end(m_next + first->size)
{
}

TextArena::~TextArena()
{
    for (Chunk* c = m_chunks; c;) {
        Chunk* next = c->next;
        std::free(c);
        c = next;
    }
}

void TextArena::release()
{
    if (m_references.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

void TextArena::addChunk(size_t atLeast)
{
    size_t size = std::max(atLeast, std::max(minimumChunk, m_chunks->size));
    auto* chunk = static_cast<Chunk*>(std::malloc(aligned(sizeof(Chunk)) + size));
    if (!chunk)
        throw std::bad_alloc();
    chunk->next = m_chunks;
    chunk->size = size;
    m_chunks = chunk;
    m_next = reinterpret_cast<uint8_t*>(chunk) + aligned(sizeof(Chunk));
    m_end = m_next + size;
}

void* TextArena::allocate(size_t bytes)
{
    bytes = aligned(bytes);
    m_next = reinterpret_cast<uint8_t*>(aligned(reinterpret_cast<uintptr_t>(m_next)));
    if (m_next > m_end || static_cast<size_t>(m_end - m_next) < bytes)
        addChunk(bytes);
    void* block = m_next;
    m_next += bytes;
    return block;
}

char16_t* TextArena::copy(const char16_t* text, uint32_t length)
{
    // Texts need only their own alignment; keep them packed.
    size_t bytes = (static_cast<size_t>(length) + 1) * sizeof(char16_t);
    if (static_cast<size_t>(m_end - m_next) < bytes)
        addChunk(bytes);
    auto* out = reinterpret_cast<char16_t*>(m_next);
    m_next += bytes;
    if (length)
        std::memcpy(out, text, length * sizeof(char16_t));
    out[length] = 0;
    return out;
}

}
