#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Character classes and case of plain ASCII, for any character type (char, char16_t, char32_t).
// Nothing here looks at the process locale, and nothing outside "A"-"Z"/"a"-"z" changes case:
// file formats, tool output and option names must read the same for every user.
namespace s::str::ascii {

template<class Char>
constexpr bool isDigit(Char c) { return c >= Char('0') && c <= Char('9'); }

template<class Char>
constexpr bool isUpper(Char c) { return c >= Char('A') && c <= Char('Z'); }

template<class Char>
constexpr bool isLower(Char c) { return c >= Char('a') && c <= Char('z'); }

template<class Char>
constexpr bool isAlpha(Char c) { return isUpper(c) || isLower(c); }

template<class Char>
constexpr bool isAlnum(Char c) { return isAlpha(c) || isDigit(c); }

// The blanks the C library skips in the "C" locale: space, tab, line feed, vertical tab, form
// feed and carriage return.
template<class Char>
constexpr bool isSpace(Char c) { return c == Char(' ') || (c >= Char('\t') && c <= Char('\r')); }

template<class Char>
constexpr Char toLower(Char c) { return isUpper(c) ? static_cast<Char>(c + ('a' - 'A')) : c; }

template<class Char>
constexpr Char toUpper(Char c) { return isLower(c) ? static_cast<Char>(c - ('a' - 'A')) : c; }

// 0-15 for a hex digit of either case, -1 for anything else.
template<class Char>
constexpr int hexValue(Char c)
{
    if (isDigit(c))
        return static_cast<int>(c - Char('0'));
    if (c >= Char('a') && c <= Char('f'))
        return static_cast<int>(c - Char('a')) + 10;
    if (c >= Char('A') && c <= Char('F'))
        return static_cast<int>(c - Char('A')) + 10;
    return -1;
}

template<class Char>
constexpr bool equalsIgnoreCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && toLower(a[i]) != toLower(b[i]))
            return false;
    }
    return true;
}

inline constexpr bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) { return equalsIgnoreCase<char16_t>(a, b); }
inline constexpr bool equalsIgnoreCase(std::string_view a, std::string_view b) { return equalsIgnoreCase<char>(a, b); }

template<class Char>
constexpr bool startsWithIgnoreCase(std::basic_string_view<Char> text, std::basic_string_view<Char> prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

template<class Char>
constexpr bool endsWithIgnoreCase(std::basic_string_view<Char> text, std::basic_string_view<Char> suffix)
{
    return text.size() >= suffix.size() && equalsIgnoreCase(text.substr(text.size() - suffix.size()), suffix);
}

inline constexpr bool startsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) { return startsWithIgnoreCase<char16_t>(text, prefix); }
inline constexpr bool startsWithIgnoreCase(std::string_view text, std::string_view prefix) { return startsWithIgnoreCase<char>(text, prefix); }
inline constexpr bool endsWithIgnoreCase(std::u16string_view text, std::u16string_view suffix) { return endsWithIgnoreCase<char16_t>(text, suffix); }
inline constexpr bool endsWithIgnoreCase(std::string_view text, std::string_view suffix) { return endsWithIgnoreCase<char>(text, suffix); }

template<class Char>
std::basic_string<Char> lowered(std::basic_string_view<Char> text)
{
    std::basic_string<Char> out(text);
    for (Char& c : out)
        c = toLower(c);
    return out;
}

inline std::string lowered(std::string_view text) { return lowered<char>(text); }
inline std::u16string lowered(std::u16string_view text) { return lowered<char16_t>(text); }

}
