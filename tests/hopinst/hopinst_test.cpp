// Hopinst.exe as a user runs it: its own process, a command line, and the registry value it
// leaves behind, read back byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "winenv.h"

namespace {

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

// Runs Hopinst.exe with this exact command line; returns its exit code, or -1 if it did not run.
long RunHopinst(const std::string& commandLine)
{
    return RunAndWait(BinDir() + "Hopinst.exe", commandLine, NULL, 10000);
}

bool KeyExists()
{
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// The value as stored: its type and exactly the bytes the registry reports.
struct StoredValue {
    bool present = false;
    DWORD type = 0;
    std::string data;
};

StoredValue ReadValue()
{
    StoredValue v;
    HKEY hKey;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return v;
    char buf[1024];
    memset(buf, '#', sizeof buf);
    DWORD size = sizeof buf;
    LONG rc = RegQueryValueExA(hKey, "Hopstart", NULL, &v.type, reinterpret_cast<BYTE*>(buf),
                               &size);
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS)
        return v;
    v.present = true;
    v.data.assign(buf, size);
    return v;
}

void WriteValue(const std::string& data)
{
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, kExtensionsKey, &hKey));
    RegSetValueExA(hKey, "Hopstart", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(hKey);
}

std::string Expected(const std::string& directory)
{
    return "4.0;" + directory + "\\HOPEXT.DLL;1;01000000000001;111000";
}

// The value as read back: the registry adds the NUL that the length passed leaves out, because
// the byte behind the counted characters is one (Windows NT does the same). The length Hopinst
// passes is checked from Wine's relay trace by registry_calls.sh.
std::string Stored(const std::string& directory)
{
    return Expected(directory) + '\0';
}

class HopinstTest : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kExtensionsKey);
        HKEY hKey;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kExtensionsKey, &hKey));
        RegCloseKey(hKey);
    }
    void TearDown() override { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kExtensionsKey); }
};

struct CommandLineCase {
    const char* what;
    std::string commandLine;
    std::string directory;  // as it must appear in the value
};

TEST_F(HopinstTest, WritesTheDirectoryFromTheCommandLine)
{
    const std::string dir260 = "C:\\" + std::string(257, 'd');
    const CommandLineCase cases[] = {
        {"plain directory", "Hopinst.exe D:\\APPS", "D:\\APPS"},
        {"leading spaces skipped, trailing kept", "Hopinst.exe    D:\\APPS  ", "D:\\APPS  "},
        {"inner spaces kept", "Hopinst.exe C:\\Program Files\\Hop", "C:\\Program Files\\Hop"},
        {"empty command line", "Hopinst.exe", ""},
        {"only spaces", "Hopinst.exe   ", ""},
        {"trailing backslash kept", "Hopinst.exe D:\\APPS\\", "D:\\APPS\\"},
        {"quotes kept", "Hopinst.exe \"C:\\Hop Start\"", "\"C:\\Hop Start\""},
        {"quoted program name", "\"C:\\Tools\\Hopinst.exe\" D:\\APPS", "D:\\APPS"},
        {"260 characters fit", "Hopinst.exe " + dir260, dir260},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kExtensionsKey, "Hopstart");
        ASSERT_EQ(0, RunHopinst(c.commandLine));
        StoredValue v = ReadValue();
        ASSERT_TRUE(v.present);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), v.type);
        EXPECT_EQ(Stored(c.directory), v.data);
    }
}

TEST_F(HopinstTest, SecondRunReplacesTheData)
{
    ASSERT_EQ(0, RunHopinst("Hopinst.exe D:\\APPS"));
    ASSERT_EQ(0, RunHopinst("Hopinst.exe E:\\X"));
    EXPECT_EQ(Stored("E:\\X"), ReadValue().data);
}

TEST_F(HopinstTest, TooLongDirectoryWritesNothing)
{
    const std::string earlier = Expected("D:\\APPS");  // as Hopinst writes it, no NUL
    const std::string tooLong[] = {
        "C:\\" + std::string(258, 'd'),  // 261: the data would need 301 characters
        "C:\\" + std::string(296, 'd'),  // fills the path buffer exactly
        "C:\\" + std::string(600, 'd'),  // longer than the path buffer
    };
    for (const std::string& dir : tooLong) {
        SCOPED_TRACE(dir.size());
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kExtensionsKey, "Hopstart");
        ASSERT_EQ(0, RunHopinst("Hopinst.exe " + dir));
        EXPECT_FALSE(ReadValue().present);

        WriteValue(earlier);
        ASSERT_EQ(0, RunHopinst("Hopinst.exe " + dir));
        EXPECT_EQ(earlier + '\0', ReadValue().data) << "an earlier registration stays as it was";
    }
}

TEST_F(HopinstTest, MissingKeyIsNotCreated)
{
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kExtensionsKey);
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(0, RunHopinst("Hopinst.exe D:\\APPS"));
    EXPECT_FALSE(KeyExists());
}

}  // namespace
