// Writes forum library files for tests from a readable list of records.
//
//   ForumLibrary lib;
//   lib.Group("Sales").Forum("Pricing", "Price list");
//   lib.WriteTo("C:\\forums\\lib.kv1");
#pragma once

#include <string>
#include <vector>

class ForumLibrary {
public:
    // How a counted string is written: the short form (one length byte) where it fits, or always
    // the long form (FF, then a 16-bit length).
    enum Form { Short, Long };

    ForumLibrary& Group(const std::string& label, Form form = Short);
    ForumLibrary& Forum(const std::string& name, const std::string& label, Form form = Short);
    // A record given as its two strings exactly, e.g. a name of "Group" or an empty label.
    ForumLibrary& Record(const std::string& name, const std::string& label, Form form = Short);
    // Raw bytes after the records written so far (a name byte 00, junk, ...).
    ForumLibrary& Bytes(const std::string& bytes);

    // The whole file: magic 93 FF, 24 header bytes, the records.
    std::string Contents() const;
    bool WriteTo(const std::string& path) const;
    // Writes only the first nBytes bytes of the file.
    bool WriteTruncatedTo(const std::string& path, size_t nBytes) const;

    // One counted string as the file holds it.
    static std::string Counted(const std::string& text, Form form = Short);

private:
    std::string m_records;
};

// Writes raw bytes to a file; true when all were written.
bool WriteFileBytes(const std::string& path, const std::string& bytes);
