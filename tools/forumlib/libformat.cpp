#include "libformat.h"

namespace forumlib {

std::string Header()
{
    return std::string("\x93\xFF", 2) + std::string(HEADER_SIZE - 2, '\0');
}

bool HasMagic(const std::string& file)
{
    return file.size() >= 2 && (unsigned char)file[0] == 0x93 && (unsigned char)file[1] == 0xFF;
}

std::string Counted(const std::string& text, bool bLong)
{
    std::string out;
    if (!bLong && text.size() < 0xFF) {
        out += (char)text.size();
    } else {
        out += (char)0xFF;
        out += (char)(text.size() & 0xFF);
        out += (char)((text.size() >> 8) & 0xFF);
    }
    return out + text;
}

FoundString DecodeCounted(const std::string& file, size_t pos)
{
    FoundString s = {false, false, std::string(), file.size()};
    if (pos >= file.size())
        return s;
    size_t len = (unsigned char)file[pos++];
    if (len == 0xFF) {
        s.bLong = true;
        if (file.size() - pos < 2)
            return s;
        len = (unsigned char)file[pos] | ((unsigned char)file[pos + 1] << 8);
        pos += 2;
    }
    if (file.size() - pos < len)
        return s;
    s.bComplete = true;
    s.text = file.substr(pos, len);
    s.end = pos + len;
    return s;
}

}  // namespace forumlib
