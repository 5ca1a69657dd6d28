// The version blocks of the shipped 32-bit binaries, read as the platform reads them.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

struct VersionBlock {
    std::vector<char> data;

    bool Load(const std::string& path)
    {
        DWORD dwHandle = 0;
        DWORD cb = GetFileVersionInfoSizeA(path.c_str(), &dwHandle);
        if (cb == 0)
            return false;
        data.resize(cb);
        return GetFileVersionInfoA(path.c_str(), 0, cb, data.data()) != FALSE;
    }
    std::string String(const char* pszName)
    {
        std::string sub = std::string("\\StringFileInfo\\040904B0\\") + pszName;
        char* p = NULL;
        UINT cch = 0;
        if (!VerQueryValueA(data.data(), sub.c_str(), reinterpret_cast<void**>(&p), &cch) || !p)
            return "<missing>";
        return p;
    }
    VS_FIXEDFILEINFO* Fixed()
    {
        VS_FIXEDFILEINFO* p = NULL;
        UINT cb = 0;
        VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&p), &cb);
        return p;
    }
};

struct Expected {
    const char* pszName;
    const char* pszValue;
};

void ExpectBlock(const char* pszFile, const std::vector<Expected>& strings)
{
    VersionBlock block;
    ASSERT_TRUE(block.Load(std::string(WIN32_BIN_DIR) + pszFile)) << pszFile;
    VS_FIXEDFILEINFO* pFixed = block.Fixed();
    ASSERT_NE(nullptr, pFixed);
    EXPECT_EQ(0x00020001u, pFixed->dwFileVersionMS) << pszFile;
    EXPECT_EQ(0u, pFixed->dwFileVersionLS) << pszFile;
    EXPECT_EQ(0x00020001u, pFixed->dwProductVersionMS) << pszFile;
    for (const Expected& e : strings)
        EXPECT_EQ(e.pszValue, block.String(e.pszName)) << pszFile << " " << e.pszName;
    for (const char* pszMaker : {"CompanyName", "LegalCopyright"})
        EXPECT_NE("<missing>", block.String(pszMaker)) << pszFile << " " << pszMaker;
}

TEST(Deliverables, ExtensionVersionBlock)
{
    ExpectBlock("HOPEXT.DLL", {
                                  {"FileVersion", "2.1"},
                                  {"ProductVersion", "2.1"},
                                  {"FileDescription", "HOPEXT Exchange Extension DLL"},
                                  {"InternalName", "HOPEXT"},
                                  {"OriginalFilename", "HOPEXT.DLL"},
                                  {"ProductName", "HOPEXT Dynamic Link Library"},
                              });
}

TEST(Deliverables, RegistrationToolVersionBlock)
{
    ExpectBlock("Hopinst.exe", {
                                   {"FileVersion", "2.1"},
                                   {"ProductVersion", "2.1"},
                                   {"FileDescription", "Hopinst"},
                                   {"InternalName", "Hopinst"},
                                   {"OriginalFilename", "Hopinst.exe"},
                                   {"ProductName", "Hopinst"},
                               });
}

}  // namespace
