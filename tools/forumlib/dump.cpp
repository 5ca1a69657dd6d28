// Printing a forum library file as a listing that write turns back into the same bytes. A record
// that no listing line can express (control characters, mixed forms, cut off by the end of the
// file) is printed as raw bytes, with a comment saying what the extension makes of it.
#include "forumlib.h"
#include "libformat.h"

#include <vector>

namespace {

struct Record {
    size_t start;
    forumlib::FoundString name;
    forumlib::FoundString label;
};

bool Printable(const std::string& text)
{
    for (char c : text) {
        if ((unsigned char)c < 0x20 || (unsigned char)c == 0x7F)
            return false;
    }
    return true;
}

bool NameFitsLine(const std::string& name)
{
    return Printable(name) && name.find(" = ") == std::string::npos &&
           !(name.size() >= 2 && name.compare(name.size() - 2, 2, " =") == 0);
}

// A string that write would put in this form without being told "long".
bool PlainForm(const forumlib::FoundString& s)
{
    return !s.bLong || s.text.size() >= 0xFF;
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char sz[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        snprintf(sz, sizeof sz, i ? " %02X" : "%02X", (unsigned char)bytes[i]);
        out += sz;
    }
    return out;
}

// Text for a comment line: control characters as \xNN, so the comment stays one line.
std::string Escaped(const std::string& text)
{
    std::string out;
    char sz[8];
    for (char c : text) {
        if ((unsigned char)c >= 0x20 && (unsigned char)c != 0x7F && c != '\\') {
            out += c;
            continue;
        }
        snprintf(sz, sizeof sz, "\\x%02X", (unsigned char)c);
        out += sz;
    }
    return out;
}

std::string Describe(const Record& r)
{
    std::string what = r.name.text == "group" ? "group" : "forum '" + Escaped(r.name.text) + "'";
    if (!r.label.Present())
        return what + ", no label";
    return what + ", label '" + Escaped(r.label.text) + "'";
}

// The listing line of one record, or "raw ..." when no line can say it exactly.
std::string LineOf(const Record& r, const std::string& file)
{
    if (r.label.bComplete && NameFitsLine(r.name.text) && Printable(r.label.text)) {
        const char* pszPrefix = NULL;
        if (r.name.bLong && r.label.bLong)
            pszPrefix = "long ";
        else if (PlainForm(r.name) && PlainForm(r.label))
            pszPrefix = "";
        if (pszPrefix && r.name.text == "group")
            return std::string(pszPrefix) + "group" + (r.label.text.empty() ? "" : " " + r.label.text);
        if (pszPrefix)
            return std::string(pszPrefix) + "forum " + r.name.text + " =" +
                   (r.label.text.empty() ? "" : " " + r.label.text);
    }
    return "raw " + Hex(file.substr(r.start, r.label.end - r.start));
}

int Digits(unsigned long n)
{
    int nDigits = 1;
    while (n >= 10) {
        n /= 10;
        ++nDigits;
    }
    return nDigits;
}

}  // namespace

bool DumpLibrary(const std::string& file, bool bRun, unsigned long idRun, FILE* out,
                 std::string& error)
{
    if (!forumlib::HasMagic(file)) {
        error = "not a forum library file (no magic 93 FF)";
        return false;
    }
    if (file.size() < forumlib::HEADER_SIZE) {
        error = "the file ends within its header";
        return false;
    }

    // The records as the extension reads them: up to the first absent name.
    std::vector<Record> records;
    size_t pos = forumlib::HEADER_SIZE;
    for (;;) {
        Record r;
        r.start = pos;
        r.name = forumlib::DecodeCounted(file, pos);
        if (!r.name.Present())
            break;
        r.label = forumlib::DecodeCounted(file, r.name.end);
        records.push_back(r);
        pos = r.label.end;
    }

    fprintf(out, "# %u %s", (unsigned)records.size(), records.size() == 1 ? "entry" : "entries");
    if (bRun)
        fprintf(out, "; run command %lu", idRun);
    fprintf(out, "\n");
    std::string header = file.substr(2, forumlib::HEADER_SIZE - 2);
    if (header != std::string(header.size(), '\0'))
        fprintf(out, "# header (write puts zeros): %s\n", Hex(header).c_str());

    int cchIndex = Digits(records.empty() ? 0 : records.size() - 1);
    int cchId = bRun ? Digits(idRun + records.size()) : 0;
    int cchPrefix = cchIndex + 2 + (bRun ? cchId + 2 : 0);
    for (size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        std::string line = LineOf(r, file);
        if (line.compare(0, 4, "raw ") == 0)
            fprintf(out, "# entry %u: %s\n", (unsigned)i, Describe(r).c_str());
        if (r.name.text.size() > forumlib::NAME_KEPT && r.name.text != "group")
            fprintf(out, "# entry %u: name of %u bytes; the extension keeps the first %u\n",
                    (unsigned)i, (unsigned)r.name.text.size(), (unsigned)forumlib::NAME_KEPT);
        if (r.label.Present() && r.label.text.size() > forumlib::LABEL_KEPT)
            fprintf(out, "# entry %u: label of %u bytes; the extension keeps the first %u\n",
                    (unsigned)i, (unsigned)r.label.text.size(), (unsigned)forumlib::LABEL_KEPT);
        fprintf(out, "%*u  ", cchIndex, (unsigned)i);
        if (bRun)
            fprintf(out, "%*lu  ", cchId, (unsigned long)(idRun + 1 + i));
        fprintf(out, "%s\n", line.c_str());
    }

    if (pos < file.size()) {
        fprintf(out, "# the list ends here; the extension ignores the rest\n");
        for (size_t at = pos; at < file.size(); at += 16)
            fprintf(out, "%*sraw %s\n", cchPrefix, "", Hex(file.substr(at, 16)).c_str());
    }
    return true;
}
