// The demo's road, headless: Hopinst registers the extension, the stand-in client finds it through
// that registry value alone, and a picked forum reaches the stand-in Konvera, first on its command
// line (not running), then over DDE (running).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "forumfile.h"
#include "konvera.h"
#include "winenv.h"

namespace {

const char kExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";
const char kServerKey[] = "Konvera.Document.2\\protocol\\StdFileEditing\\server";

// Runs a program of the bin directory with "<name> <args>" and waits; returns its exit code.
long RunProgram(const std::string& name, const std::string& args, DWORD timeoutMs = 30000)
{
    return RunAndWait(BinDir() + name, name + " " + args, NULL, timeoutMs);
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), (std::istreambuf_iterator<char>()));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

bool HasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class FirstRunTest : public testing::Test {
protected:
    void SetUp() override
    {
        HKEY hKey;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kExtensionsKey, &hKey));
        RegDeleteValueA(hKey, "Hopstart");
        RegCloseKey(hKey);
        ASSERT_TRUE(SetRegistryDefault(HKEY_CLASSES_ROOT, kServerKey, BinDir() + "winkonvera.exe"));
        m_dir = ScratchDir("firstrun");
        ForumLibrary lib;
        lib.Forum("Lobby", "Lobby")
            .Group("Sales").Forum("Pricing", "Price list")
            .Group("Support").Forum("Known issues", "Known issues");
        ASSERT_TRUE(lib.WriteTo(m_dir + "forums.kv1"));
        SetLibraryPath((m_dir + "forums.kv1").c_str());
    }
    void TearDown() override
    {
        KonveraStandIn::CloseAll();
        RemoveKonveraIni();
        DeleteRegistryTree(HKEY_CLASSES_ROOT, "Konvera.Document.2");
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, kExtensionsKey);
    }

    // The client without --dll: click the button, pick a path; returns its log.
    std::string Pick(const std::string& path, const char* logName)
    {
        std::string log = m_dir + logName;
        EXPECT_EQ(0, RunProgram("exchclient.exe", "--log " + log + " click pick \"" + path + "\""));
        return ReadText(log);
    }

    std::string m_dir;
};

TEST_F(FirstRunTest, RegisteredExtensionOpensForumsInKonvera)
{
    std::string bin = BinDir();
    bin.resize(bin.size() - 1);  // the directory as a user types it, without the last '\'
    ASSERT_EQ(0, RunProgram("Hopinst.exe", bin));

    KonveraStandIn konvera("firstrun-konvera");
    std::string log = Pick("Sales/Price list", "client1.log");
    EXPECT_TRUE(HasLine(log, "loaded " + bin + "\\HOPEXT.DLL ordinal 1")) << log;
    EXPECT_TRUE(HasLine(log, "install 0x00000000")) << log;
    EXPECT_TRUE(HasLine(log, "menu   popup Sales")) << log;
    EXPECT_TRUE(HasLine(log, "pick Sales/Price list picked")) << log;
    ASSERT_NE(static_cast<HWND>(NULL), konvera.WaitReady()) << "Konvera was not started";
    EXPECT_TRUE(WaitForWindow("Konvera", NULL) != NULL);
    std::vector<std::string> cmdlines = konvera.RecordLines("cmdline ");
    ASSERT_EQ(1u, cmdlines.size());
    EXPECT_EQ("cmdline Pricing", cmdlines[0]);

    log = Pick("Support/Known issues", "client2.log");
    EXPECT_TRUE(HasLine(log, "pick Support/Known issues picked")) << log;
    EXPECT_TRUE(PumpUntil([&] { return !konvera.RecordLines("opened Known issues").empty(); }));
    std::vector<std::string> executes = konvera.RecordLines("execute ");
    ASSERT_EQ(1u, executes.size());
    EXPECT_EQ(KonveraExecuteLine(std::string("[open(\"Known issues\")]") + '\0'), executes[0]);
    EXPECT_EQ(1u, konvera.RecordLines("cmdline ").size()) << "asked over DDE, not started again";
}

}  // namespace
