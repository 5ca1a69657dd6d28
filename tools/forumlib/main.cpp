// forumlib: writes a forum library file from a readable listing, and dumps one as that listing.
//   forumlib write <listing> <file.kv1> [--cut <bytes>]
//   forumlib dump <file.kv1> [--run <id>]
#include "forumlib.h"

#include <stdlib.h>
#include <string.h>

namespace {

int Usage()
{
    fprintf(stderr, "usage: forumlib write <listing> <file.kv1> [--cut <bytes>]\n"
                    "       forumlib dump <file.kv1> [--run <id>]\n");
    return 2;
}

bool ReadWholeFile(const char* pszPath, std::string& bytes)
{
    FILE* pFile = fopen(pszPath, "rb");
    if (!pFile)
        return false;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pFile)) > 0)
        bytes.append(chunk, n);
    bool bOk = !ferror(pFile);
    fclose(pFile);
    return bOk;
}

bool WriteWholeFile(const char* pszPath, const std::string& bytes)
{
    FILE* pFile = fopen(pszPath, "wb");
    if (!pFile)
        return false;
    bool bOk = fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    return fclose(pFile) == 0 && bOk;
}

bool ParseNumber(const char* pszText, unsigned long& n)
{
    char* pszEnd;
    n = strtoul(pszText, &pszEnd, 0);
    return *pszText != '\0' && *pszText != '-' && *pszEnd == '\0';
}

int Write(const char* pszListing, const char* pszFile, bool bCut, unsigned long cbCut)
{
    std::string listing, file, error;
    if (!ReadWholeFile(pszListing, listing)) {
        fprintf(stderr, "forumlib: cannot read %s\n", pszListing);
        return 1;
    }
    if (!ParseListing(listing, file, error)) {
        fprintf(stderr, "forumlib: %s: %s\n", pszListing, error.c_str());
        return 1;
    }
    if (bCut && cbCut < file.size())
        file.resize(cbCut);
    if (!WriteWholeFile(pszFile, file)) {
        fprintf(stderr, "forumlib: cannot write %s\n", pszFile);
        return 1;
    }
    return 0;
}

int Dump(const char* pszFile, bool bRun, unsigned long idRun)
{
    std::string file, error;
    if (!ReadWholeFile(pszFile, file)) {
        fprintf(stderr, "forumlib: cannot read %s\n", pszFile);
        return 1;
    }
    if (!DumpLibrary(file, bRun, idRun, stdout, error)) {
        fprintf(stderr, "forumlib: %s: %s\n", pszFile, error.c_str());
        return 1;
    }
    return fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 || argc == 6) {
        if (strcmp(argv[1], "write") == 0) {
            unsigned long cbCut = 0;
            bool bCut = argc == 6;
            if (bCut && (strcmp(argv[4], "--cut") != 0 || !ParseNumber(argv[5], cbCut)))
                return Usage();
            return Write(argv[2], argv[3], bCut, cbCut);
        }
    }
    if ((argc == 3 || argc == 5) && strcmp(argv[1], "dump") == 0) {
        unsigned long idRun = 0;
        bool bRun = argc == 5;
        if (bRun && (strcmp(argv[3], "--run") != 0 || !ParseNumber(argv[4], idRun)))
            return Usage();
        return Dump(argv[2], bRun, idRun);
    }
    return Usage();
}
