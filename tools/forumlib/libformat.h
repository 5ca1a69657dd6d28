// The forum library file format, as this tool writes and decodes it. Deliberately its own code,
// apart from the extension's reader, so that each checks the other.
#pragma once

#include <stddef.h>

#include <string>

namespace forumlib {

const size_t HEADER_SIZE = 26;  // magic 93 FF, then 24 bytes nobody interprets
const size_t LONGEST_TEXT = 0xFFFF;
const size_t NAME_KEPT = 255;   // what the extension keeps of longer names and labels
const size_t LABEL_KEPT = 79;

// The magic and 24 zero bytes.
std::string Header();
bool HasMagic(const std::string& file);

// One counted string: the short form (a length byte) where it fits and long form is not asked
// for, else FF and a 16-bit little-endian length. The text must be at most LONGEST_TEXT bytes.
std::string Counted(const std::string& text, bool bLong);

// One counted string as found in a file at some offset.
struct FoundString {
    bool bComplete;   // its length and all its text are in the file
    bool bLong;       // written in the long form
    std::string text; // empty for length 0 (then the string counts as absent)
    size_t end;       // offset after it (the end of the file when incomplete)

    bool Present() const { return bComplete && !text.empty(); }
};
FoundString DecodeCounted(const std::string& file, size_t pos);

}  // namespace forumlib
