#include "forumfile.h"

#include <stdio.h>

ForumLibrary& ForumLibrary::Group(const std::string& label, Form form)
{
    return Record("group", label, form);
}

ForumLibrary& ForumLibrary::Forum(const std::string& name, const std::string& label, Form form)
{
    return Record(name, label, form);
}

ForumLibrary& ForumLibrary::Record(const std::string& name, const std::string& label, Form form)
{
    m_records += Counted(name, form);
    m_records += Counted(label, form);
    return *this;
}

ForumLibrary& ForumLibrary::Bytes(const std::string& bytes)
{
    m_records += bytes;
    return *this;
}

std::string ForumLibrary::Counted(const std::string& text, Form form)
{
    std::string out;
    if (form == Short && text.size() < 0xFF) {
        out += static_cast<char>(text.size());
    } else {
        out += '\xFF';
        out += static_cast<char>(text.size() & 0xFF);
        out += static_cast<char>((text.size() >> 8) & 0xFF);
    }
    return out + text;
}

std::string ForumLibrary::Contents() const
{
    return std::string("\x93\xFF", 2) + std::string(24, '\0') + m_records;
}

bool ForumLibrary::WriteTo(const std::string& path) const
{
    return WriteFileBytes(path, Contents());
}

bool ForumLibrary::WriteTruncatedTo(const std::string& path, size_t nBytes) const
{
    return WriteFileBytes(path, Contents().substr(0, nBytes));
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}
