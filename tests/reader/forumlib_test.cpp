// forumlib.exe against the extension's reader: files it writes from a listing load as the listing
// says, and its dump prints a file back as a listing that writes the same bytes again.
#include "expect_entries.h"
#include "forumfile.h"
#include "winenv.h"

namespace {

typedef ForumLibrary Lib;

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* pFile = fopen(path.c_str(), "rb");
    if (!pFile)
        return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pFile)) > 0)
        bytes.append(chunk, n);
    fclose(pFile);
    return bytes;
}

class Forumlib : public ::testing::Test {
protected:
    void SetUp() override { m_dir = ScratchDir("forumlib"); }

    // Runs forumlib.exe with its output in a file; returns its exit code (-1 if it did not run).
    int Run(const std::string& args, std::string* pOutput = NULL)
    {
        std::string outPath = m_dir + "output.txt";
        SECURITY_ATTRIBUTES sa = {sizeof sa, NULL, TRUE};
        HANDLE hOut = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                                  CREATE_ALWAYS, 0, NULL);
        if (hOut == INVALID_HANDLE_VALUE)
            return -1;
        long nExit = RunAndWait("", "\"" + BinDir() + "forumlib.exe\" " + args, hOut);
        CloseHandle(hOut);
        if (pOutput)
            *pOutput = ReadBytes(outPath);
        return static_cast<int>(nExit);
    }

    std::string Path(const char* pszName) { return m_dir + pszName; }
    std::string Quoted(const char* pszName) { return "\"" + Path(pszName) + "\""; }

    // The listing lines of a dump, its "\r\n" line ends as "\n".
    static std::string Lines(const std::string& output)
    {
        std::string text;
        for (char c : output) {
            if (c != '\r')
                text += c;
        }
        return text;
    }

    std::string m_dir;
};

const char LISTING[] =
    "# Forums of the sales office\n"
    "\n"
    "forum Company news = News\r\n"
    "group Sales\n"
    "forum Pricing = Price list\n"
    "  forum Sales leads = Leads from the field\n"
    "long group Travel\n"
    "long forum Trips = \n"
    "forum Group = Not a group\n"
    "forum Spaces  =  both sides \n";

TEST_F(Forumlib, WrittenListingLoadsThroughTheReader)
{
    ASSERT_TRUE(WriteFileBytes(Path("forums.txt"), LISTING));
    ASSERT_EQ(0, Run("write " + Quoted("forums.txt") + " " + Quoted("forums.kv1")));
    SetLibraryPath(Path("forums.kv1").c_str());
    CForumMenu menu;
    int nLoaded = menu.Load();
    ExpectEntries(menu, nLoaded,
                  {ForumEntry("Company news", "News"), GroupEntry("Sales"),
                   ForumEntry("Pricing", "Price list"),
                   ForumEntry("Sales leads", "Leads from the field"), GroupEntry("Travel"),
                   ForumEntry("Trips", std::nullopt), ForumEntry("Group", "Not a group"),
                   ForumEntry("Spaces ", " both sides ")});
}

TEST_F(Forumlib, WritesTheSameBytesAsTheTestWriter)
{
    struct {
        const char* pszListing;
        std::string expected;
    } cases[] = {
        {"group Sales\nforum Pricing = Price list\n",
         Lib().Group("Sales").Forum("Pricing", "Price list").Contents()},
        {"long group Sales\nlong forum ABC = ABC\n",
         Lib().Group("Sales", Lib::Long).Forum("ABC", "ABC", Lib::Long).Contents()},
        {"forum A = a\nraw 00 ff\nraw 0102\n",
         Lib().Forum("A", "a").Bytes(std::string("\0\xFF\x01\x02", 4)).Contents()},
        {"group\nforum X =\n", Lib().Record("group", "").Record("X", "").Contents()},
        {"0  1001  group Sales\n", Lib().Group("Sales").Contents()},
        {"", Lib().Contents()},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszListing);
        ASSERT_TRUE(WriteFileBytes(Path("case.txt"), c.pszListing));
        ASSERT_EQ(0, Run("write " + Quoted("case.txt") + " " + Quoted("case.kv1")));
        EXPECT_EQ(c.expected, ReadBytes(Path("case.kv1")));
    }
}

TEST_F(Forumlib, CutWritesTheFirstBytesOnly)
{
    ASSERT_TRUE(WriteFileBytes(Path("forums.txt"), "group Sales\nforum Pricing = Price list\n"));
    ASSERT_EQ(0, Run("write " + Quoted("forums.txt") + " " + Quoted("cut.kv1") + " --cut 50"));
    EXPECT_EQ(50u, ReadBytes(Path("cut.kv1")).size());
    SetLibraryPath(Path("cut.kv1").c_str());
    CForumMenu menu;
    int nLoaded = menu.Load();
    ExpectEntries(menu, nLoaded, {GroupEntry("Sales"), ForumEntry("Pricing", std::nullopt)});
}

TEST_F(Forumlib, DumpShowsIndexAndCommandId)
{
    ASSERT_TRUE(Lib().Group("Sales").Forum("Pricing", "Price list").WriteTo(Path("lib.kv1")));
    std::string output;
    ASSERT_EQ(0, Run("dump " + Quoted("lib.kv1"), &output));
    EXPECT_EQ("# 2 entries\n"
              "0  group Sales\n"
              "1  forum Pricing = Price list\n",
              Lines(output));
    ASSERT_EQ(0, Run("dump " + Quoted("lib.kv1") + " --run 998", &output));
    EXPECT_EQ("# 2 entries; run command 998\n"
              "0   999  group Sales\n"
              "1  1000  forum Pricing = Price list\n",
              Lines(output));
}

TEST_F(Forumlib, DumpRoundTripsHostileFiles)
{
    Lib three;
    three.Forum("Pricing", "Price list").Forum("Leads", "Sales leads").Forum("Travel", "Trips");
    std::string overlong = Lib().Forum(std::string(300, 'N'), std::string(100, 'L')).Contents();
    struct {
        const char* pszWhat;
        std::string file;
    } cases[] = {
        {"records and junk after the end",
         Lib(three).Bytes(std::string("\0\x05junk", 6)).Contents()},
        {"cut inside the third label", three.Contents().substr(0, three.Contents().size() - 3)},
        {"cut inside the third name", three.Contents().substr(0, three.Contents().size() - 9)},
        {"mixed forms and a control character",
         Lib().Bytes(Lib::Counted("A\nB", Lib::Long) + Lib::Counted("x")).Contents()},
        {"names that a line cannot hold", Lib().Forum("A = B", "x").Forum("C =", "y").Contents()},
        {"over-long strings", overlong},
        {"header only", Lib().Contents()},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ASSERT_TRUE(WriteFileBytes(Path("in.kv1"), c.file));
        std::string listing;
        ASSERT_EQ(0, Run("dump " + Quoted("in.kv1") + " --run 1000", &listing));
        ASSERT_TRUE(WriteFileBytes(Path("dump.txt"), listing));
        ASSERT_EQ(0, Run("write " + Quoted("dump.txt") + " " + Quoted("out.kv1")));
        EXPECT_EQ(c.file, ReadBytes(Path("out.kv1"))) << listing;
    }
}

TEST_F(Forumlib, RefusesBadInput)
{
    ASSERT_TRUE(WriteFileBytes(Path("bad.txt"), "group Sales\nforum Pricing\n"));
    ASSERT_TRUE(WriteFileBytes(Path("badhex.txt"), "raw 0g\n"));
    ASSERT_TRUE(WriteFileBytes(Path("wrong.kv1"), "\xFF\x93" + std::string(24, '\0')));
    ASSERT_TRUE(WriteFileBytes(Path("short.kv1"), "\x93\xFF\0\0"));
    struct {
        std::string args;
        int nExit;
        const char* pszMessage;
    } cases[] = {
        {"write " + Quoted("bad.txt") + " " + Quoted("x.kv1"), 1, "line 2"},
        {"write " + Quoted("badhex.txt") + " " + Quoted("x.kv1"), 1, "line 1"},
        {"write " + Quoted("missing.txt") + " " + Quoted("x.kv1"), 1, "cannot read"},
        {"dump " + Quoted("wrong.kv1"), 1, "not a forum library"},
        {"dump " + Quoted("short.kv1"), 1, "header"},
        {"dump " + Quoted("missing.kv1"), 1, "cannot read"},
        {"dump " + Quoted("wrong.kv1") + " --run x", 2, "usage"},
        {"write " + Quoted("bad.txt") + " " + Quoted("x.kv1") + " --cut -1", 2, "usage"},
        {"list", 2, "usage"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.args);
        std::string output;
        EXPECT_EQ(c.nExit, Run(c.args, &output));
        EXPECT_NE(std::string::npos, output.find(c.pszMessage)) << output;
    }
}

}  // namespace
