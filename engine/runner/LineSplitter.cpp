#include "engine/runner/LineSplitter.h"

#include <algorithm>

namespace s::video::gui::dialogs::videodl {

LineSplitter::LineSplitter(size_t maxLineBytes)
    : m_maxLineBytes(std::max<size_t>(maxLineBytes, 4))
{
}

void LineSplitter::clear()
{
    m_line.clear();
    m_afterCarriageReturn = false;
}

size_t LineSplitter::pieceEnd() const
{
    // Look back at most three bytes for the lead byte of a sequence that the end would split.
    size_t size = m_line.size();
    for (size_t back = 1; back <= 3 && back <= size; ++back) {
        auto unit = static_cast<unsigned char>(m_line[size - back]);
        if ((unit & 0xC0) == 0x80)
            continue; // a continuation byte: keep looking for its lead
        size_t needed = unit >= 0xF0 ? 4 : unit >= 0xE0 ? 3 : unit >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

}
