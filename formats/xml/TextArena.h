#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace s::xml {

// The block that a parsed document's names, values and attribute records are carved from: one
// bump allocation per text instead of one heap allocation each, and one release for the whole
// tree. Every node that holds texts from it keeps a reference; the block goes with the last one.
class TextArena {
public:
    // firstChunk: bytes of the first chunk (a parse of known size asks for all it can need).
    static TextArena* make(size_t firstChunk);

    void retain() { m_references.fetch_add(1, std::memory_order_relaxed); }
    void release();

    void* allocate(size_t bytes);
    // A copy with a NUL after it.
    char16_t* copy(const char16_t* text, uint32_t length);

private:
    struct Chunk {
        Chunk* next;
        size_t size;
        // the bytes follow
    };
    explicit TextArena(Chunk* first);
    ~TextArena();
    void addChunk(size_t atLeast);

    std::atomic<uint32_t> m_references { 1 };
    Chunk* m_chunks;
    uint8_t* m_next;
    uint8_t* m_end;
};

}
