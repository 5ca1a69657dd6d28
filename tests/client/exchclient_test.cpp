// The stand-in client as a program of its own: loaded from the registry or from --dll, scripted
// from its command line, read back from its log and from the stand-in Konvera's record.
#include <gtest/gtest.h>

#include <fstream>

#include "konvera.h"
#include "testviewer.h"
#include "winenv.h"

namespace {

const char c_szExtensionsKey[] = "SOFTWARE\\Microsoft\\Exchange\\Client\\Extensions";

class ExchClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteStandardLibrary("exchclient");
        m_logPath = ScratchDir("exchclient") + "client.log";
        DeleteFileA(m_logPath.c_str());
    }
    void TearDown() override { KonveraStandIn::CloseAll(); }

    // Runs exchclient.exe with these arguments after "--log <log>"; returns its exit code.
    DWORD Run(const std::string& args)
    {
        return static_cast<DWORD>(RunAndWait(
            "", "\"" + BinDir() + "exchclient.exe\" --log \"" + m_logPath + "\" " + args));
    }
    std::string DllArgs() { return "--dll \"" + BinDir() + "HOPEXT.DLL\" "; }

    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::ifstream in(m_logPath);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::vector<std::string> LogLines(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& line : Log())
            if (line.compare(0, prefix.size(), prefix) == 0)
                found.push_back(line);
        return found;
    }

    std::string m_logPath;
};

std::string ExecuteOf(const std::string& forum)
{
    std::string command = "[open(\"" + forum + "\")]";
    command += '\0';
    return KonveraExecuteLine(command);
}

TEST_F(ExchClientTest, ClickAndPickOpensTheForumInTheRunningGroupware)
{
    KonveraStandIn konvera("exchclient-pick");
    ASSERT_NE(nullptr, konvera.Start());
    ASSERT_EQ(0u, Run(DllArgs() + "click pick \"Sales/Price list\""));
    EXPECT_EQ(std::vector<std::string>{"pick Sales/Price list picked"}, LogLines("pick "));
    EXPECT_EQ(std::vector<std::string>{"docommand 1003 -> 0x00000000"}, LogLines("docommand "));
    EXPECT_EQ(std::vector<std::string>{ExecuteOf("Pricing")}, konvera.RecordLines("execute "));
    EXPECT_EQ(std::vector<std::string>{"released"}, LogLines("released"));
}

TEST_F(ExchClientTest, StartupLogShowsTheInstalledExtension)
{
    std::string dll = BinDir() + "HOPEXT.DLL";
    ASSERT_EQ(0u, Run(DllArgs()));
    std::vector<std::string> expected = {
        "loaded " + dll + " ordinal 1",
        "install 0x00000000",
        "commands base 1000 -> 1004",
        "menu popup Hopstart",
        "menu   item 1000 Run Konvera",
        "menu   separator",
        "menu   item 1001 Company news",
        "menu   popup Sales",
        "menu     item 1003 Price list",
    };
    std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), expected.size());
    EXPECT_EQ(expected, std::vector<std::string>(log.begin(), log.begin() + expected.size()));
    std::vector<std::string> toolbar = LogLines("toolbar ");
    ASSERT_EQ(6u, toolbar.size());  // five of the viewer's own, then the extension's
    EXPECT_EQ(0u, toolbar[5].find("toolbar 5 id 1000 bitmap "));
    EXPECT_EQ(std::vector<std::string>{"helptext Konvera Hopstart"}, LogLines("helptext "));
    EXPECT_EQ("released", log.back());
}

TEST_F(ExchClientTest, LoadsTheLibraryTheRegistryValueNames)
{
    std::string dll = BinDir() + "HOPEXT.DLL";
    std::string value = "4.0;" + dll + ";1;01000000000001;111000";
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, c_szExtensionsKey, &hKey));
    RegSetValueExA(hKey, "Hopstart", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    DWORD dwExit = Run("--base 2000");
    RegDeleteValueA(hKey, "Hopstart");
    RegCloseKey(hKey);
    ASSERT_EQ(0u, dwExit);
    EXPECT_EQ(std::vector<std::string>{"loaded " + dll + " ordinal 1"}, LogLines("loaded "));
    EXPECT_EQ(std::vector<std::string>{"commands base 2000 -> 2004"}, LogLines("commands "));
}

TEST_F(ExchClientTest, WithoutRegistrationNothingIsLoaded)
{
    HKEY hKey;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, c_szExtensionsKey, &hKey) == ERROR_SUCCESS) {
        RegDeleteValueA(hKey, "Hopstart");
        RegCloseKey(hKey);
    }
    EXPECT_EQ(2u, Run(""));
    EXPECT_EQ(std::vector<std::string>{"load failed: no registration"}, Log());
}

TEST_F(ExchClientTest, ClientOfAnotherBuildIsDeclined)
{
    ASSERT_EQ(0u, Run(DllArgs() + "--version 000E0FA0 click"));
    EXPECT_EQ(std::vector<std::string>{"install 0x00000001"}, LogLines("install "));
    EXPECT_TRUE(LogLines("commands ").empty());
    EXPECT_EQ(std::vector<std::string>{"button missing"}, LogLines("button "));
}

TEST_F(ExchClientTest, ShiftClickRunsTheGroupware)
{
    KonveraStandIn konvera("exchclient-shift");
    ASSERT_EQ(0u, Run(DllArgs() + "shift-click"));
    EXPECT_EQ(std::vector<std::string>{"docommand 1000 -> 0x00000000"}, LogLines("docommand "));
    EXPECT_TRUE(LogLines("dropdown ").empty());
    EXPECT_NE(nullptr, konvera.WaitReady());  // started, since none was running
}

TEST_F(ExchClientTest, ToolsMenuAndHelp)
{
    KonveraStandIn konvera("exchclient-tools");
    konvera.SetOptions("", "Pricing");
    ASSERT_NE(nullptr, konvera.Start());
    ASSERT_EQ(0u, Run(DllArgs() + "tools \"Hopstart/Company news\" help"));
    EXPECT_EQ(std::vector<std::string>{"docommand 1001 -> 0x00000000"}, LogLines("docommand "));
    EXPECT_EQ(std::vector<std::string>{ExecuteOf("News")}, konvera.RecordLines("execute "));
    EXPECT_EQ(std::vector<std::string>{"about Called through IExchExtCommands::Help()\\n"
                                       "Contained in hopext.dll\\n\\n"
                                       "Konvera Hopstart 2.1, by the Hopstart Project developers\\n"
                                       "Copyright (C) 2026 The Hopstart Project developers"},
              LogLines("about "));
    EXPECT_EQ(std::vector<std::string>{"help 1000 -> 0x00000000"}, LogLines("help "));
}

TEST_F(ExchClientTest, ClicksThatMissTheButtonOrDoubleClicksReachTheToolbar)
{
    ASSERT_EQ(0u, Run(DllArgs() + "click-at 2 2 click-at 40000 12 dblclick"));
    EXPECT_TRUE(LogLines("dropdown ").empty());
    // The viewer's own first button took the click at 2, 2; the double click pressed ours as an
    // ordinary button, which sends the run command.
    EXPECT_EQ(std::vector<std::string>{"command 40001"}, LogLines("command "));
    EXPECT_EQ(std::vector<std::string>{"docommand 1000 -> 0x00000000"}, LogLines("docommand "));
}

}  // namespace
