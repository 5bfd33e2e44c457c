#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace s::video::gui::dialogs::videodl {

// Cuts a downloader's output bytes into the lines the parser and the log take.
//
// A carriage return ends a line; so does a line feed, unless it directly follows a carriage
// return, in which case it begins the next line. Tools on this platform end lines with a line
// feed and start each progress update with a carriage return, while output written the Windows
// way ("a\r\nb\r\n") still gives "a" and then "\nb". The terminators themselves belong to no
// line. A carriage return right after a line end ends an empty line, which is passed on too.
//
// A line that grows to `maxLineBytes` without an end is passed on in pieces of that size (cut
// before a UTF-8 sequence that would be split), so endless output cannot exhaust memory.
// Bytes after the last line end are kept until more arrive; `pending()` shows them.
class LineSplitter {
public:
    static constexpr size_t DefaultMaxLineBytes = 64 * 1024;

    explicit LineSplitter(size_t maxLineBytes = DefaultMaxLineBytes);

    // Takes the next bytes of output and calls onLine(std::string_view bytes) for every line
    // they complete, in order. The view is valid only during the call.
    template<class OnLine>
    void feed(std::string_view bytes, OnLine&& onLine)
    {
        for (char byte : bytes) {
            if (byte == '\r') {
                emit(onLine);
                m_afterCarriageReturn = true;
                continue;
            }
            if (byte == '\n' && !m_afterCarriageReturn) {
                emit(onLine);
                continue;
            }
            m_afterCarriageReturn = false;
            m_line.push_back(byte);
            if (m_line.size() >= m_maxLineBytes)
                emitPiece(onLine);
        }
    }

    // The bytes after the last line end.
    std::string_view pending() const { return m_line; }

    // Forgets pending bytes, for the next run.
    void clear();

private:
    template<class OnLine>
    void emit(OnLine& onLine)
    {
        onLine(std::string_view(m_line));
        m_line.clear();
    }

    template<class OnLine>
    void emitPiece(OnLine& onLine)
    {
        size_t cut = pieceEnd();
        onLine(std::string_view(m_line).substr(0, cut));
        m_line.erase(0, cut);
    }

    // Where a full line is cut: at its end, or before a UTF-8 sequence that would be split.
    size_t pieceEnd() const;

    std::string m_line;
    size_t m_maxLineBytes;
    bool m_afterCarriageReturn { false };
};

}
