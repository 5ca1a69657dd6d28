// Reading a listing:
//   # comment, blank lines ignored
//   group <label>
//   forum <name> = <label>
//   long forum ... / long group ...   (both strings in the long form)
//   raw <hex bytes>
// A line may start with numbers (the entry index and command id that dump prints); they are
// skipped.
#include "forumlib.h"
#include "libformat.h"

#include <ctype.h>
#include <stdlib.h>

namespace {

bool StartsWith(const std::string& s, const char* pszPrefix)
{
    return s.compare(0, std::string(pszPrefix).size(), pszPrefix) == 0;
}

// Drops leading blanks and number tokens that dump puts before an entry.
std::string StripPrefix(const std::string& line)
{
    size_t pos = 0;
    for (;;) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        size_t digits = pos;
        while (digits < line.size() && isdigit((unsigned char)line[digits]))
            ++digits;
        if (digits == pos || (digits < line.size() && line[digits] != ' ' && line[digits] != '\t'))
            return line.substr(pos);
        pos = digits;
    }
}

bool ParseHex(const std::string& text, std::string& bytes)
{
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == '\t')
            continue;
        if (!isxdigit((unsigned char)c))
            return false;
        digits += c;
    }
    if (digits.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes += (char)strtoul(digits.substr(i, 2).c_str(), NULL, 16);
    return true;
}

bool AddRecord(const std::string& name, const std::string& label, bool bLong, std::string& file,
               std::string& error)
{
    if (name.size() > forumlib::LONGEST_TEXT || label.size() > forumlib::LONGEST_TEXT) {
        error = "name or label longer than 65535 bytes";
        return false;
    }
    file += forumlib::Counted(name, bLong) + forumlib::Counted(label, bLong);
    return true;
}

bool ParseLine(const std::string& line, std::string& file, std::string& error)
{
    std::string rest = StripPrefix(line);
    if (rest.empty() || rest[0] == '#')
        return true;
    if (StartsWith(rest, "raw ") || rest == "raw") {
        if (!ParseHex(rest.substr(3), file)) {
            error = "raw needs hex bytes, e.g. raw 05 67 72";
            return false;
        }
        return true;
    }
    bool bLong = StartsWith(rest, "long ");
    if (bLong)
        rest = rest.substr(5);
    if (rest == "group" || StartsWith(rest, "group "))
        return AddRecord("group", rest.size() > 6 ? rest.substr(6) : "", bLong, file, error);
    if (StartsWith(rest, "forum ")) {
        std::string body = rest.substr(6);
        size_t eq = body.find(" = ");
        if (eq != std::string::npos)
            return AddRecord(body.substr(0, eq), body.substr(eq + 3), bLong, file, error);
        if (body.size() >= 2 && body.compare(body.size() - 2, 2, " =") == 0)
            return AddRecord(body.substr(0, body.size() - 2), "", bLong, file, error);
        error = "expected forum <name> = <label>";
        return false;
    }
    error = "expected group, forum, long or raw";
    return false;
}

}  // namespace

bool ParseListing(const std::string& listing, std::string& file, std::string& error)
{
    file = forumlib::Header();
    size_t start = 0;
    for (int nLine = 1; start < listing.size(); ++nLine) {
        size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        if (!line.empty() && line[line.size() - 1] == '\r')
            line.erase(line.size() - 1);
        start = end + 1;
        std::string why;
        if (!ParseLine(line, file, why)) {
            error = "line " + std::to_string(nLine) + ": " + why;
            return false;
        }
    }
    return true;
}
