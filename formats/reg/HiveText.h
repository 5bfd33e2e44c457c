#pragma once

#include "formats/reg/HiveKey.h"

#include <string>
#include <string_view>

namespace s::reg {

// The text form of a registry tree, as a registry export writes it:
//
//     Windows Registry Editor Version 5.00
//
//     [HKEY_CURRENT_USER\Software\Pellix\Fetchwick\SaveData]
//     @="default value"
//     "name"="text"
//     "count"=dword:0000000a
//     "blob"=hex:01,ab
//     "path"=hex(2):24,00,48,00,...
//
// Pure text in, tree out and back: no files, no platform calls.
class HiveText {
public:
    // The whole tree below top (its subkeys are the roots, written in order). The form is
    // canonical: reading it gives a tree that writes the very same text.
    static std::string write(const HiveKey& top);
    // Adds what the text holds to top. Never fails: lines that cannot be understood are skipped,
    // so a damaged or hand-edited file gives whatever keys and values can still be read. Files
    // in UTF-16LE with a byte-order mark (as the platform's own editor saves them) are read too.
    static void read(std::string_view text, HiveKey& top);
};

}
