#pragma once

// The stream the Jet reader process writes on its standard output and the program reads back.
// Plain C++ (no Qt): the reader process and the program both include it.
//
//   stream  = magic frame*
//   magic   = "ORVJET1\n"
//   frame   = tag:byte length:varint payload:byte[length]
//   varint  = unsigned LEB128 (7 bits a byte, low bits first), at most 5 bytes (32 bits)
//   string  = length:varint byte[length]                (UTF-8)
//   field   = 0:varint                                   (Null)
//           | (n + 1):varint byte[n]                     (text of n bytes, UTF-8)
//
// Frames, in this order:
//   File    'F': version:varint (0 Jet 3, 1 Jet 4, 2 and up the newer ACE files)
//                 encoding:string (what text was read as: the Jet 3 code page, else "UTF-16")
//   Catalog 'C': count:varint name:string*              (the user tables, in catalog order)
//   then for each table asked for that the catalog holds, in the order asked:
//   Table   'T': name:string count:varint (name:string type:varint size:varint)*
//   Row     'R': field* (one per column)
//   End     'E': rows:varint                            (how many Row frames the table had)
//   and last
//   Done    'Z': (empty)                                 the reader then ends with status 0
//   or, at any point after the magic,
//   Failed  'X': description:string                      the reader then ends with status 2
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace jet::frame {

inline constexpr std::string_view Magic{"ORVJET1\n"};

enum Tag : unsigned char {
    File = 'F',
    Catalog = 'C',
    Table = 'T',
    Row = 'R',
    End = 'E',
    Done = 'Z',
    Failed = 'X',
};

// The reader's exit status after a Failed frame.
inline constexpr int FailedStatus = 2;

inline constexpr int MaxVarintBytes = 5;

inline void appendVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

inline void appendString(std::string& out, std::string_view text) {
    appendVarint(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

// Reads a varint at `p`, moving `p` past it. False when the bytes end before it does or it
// takes more than 32 bits.
inline bool readVarint(const char*& p, const char* end, std::uint32_t& value) {
    std::uint64_t v = 0;
    for (int i = 0; i < MaxVarintBytes; ++i) {
        if (p == end)
            return false;
        const auto byte = static_cast<unsigned char>(*p++);
        v |= std::uint64_t(byte & 0x7F) << (7 * i);
        if (!(byte & 0x80)) {
            if (v > 0xFFFFFFFFu)
                return false;
            value = static_cast<std::uint32_t>(v);
            return true;
        }
    }
    return false;
}

} // namespace jet::frame
