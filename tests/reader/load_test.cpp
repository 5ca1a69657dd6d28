// CForumMenu::Load over forum library files written from readable record lists: the layout, the
// ways a list ends, group records, absent labels, over-long strings, and how the file is found.
#include "expect_entries.h"
#include "forumfile.h"
#include "winenv.h"

namespace {

typedef ForumLibrary Lib;
const Lib::Form Long = Lib::Long;

struct LoadCase {
    const char* pszWhat;
    std::string file;
    std::vector<ExpectedEntry> entries;
};

std::string Cut(const Lib& lib, size_t cbKeep)
{
    return lib.Contents().substr(0, cbKeep);
}

std::string Text(char c, size_t n)
{
    return std::string(n, c);
}

// Loads a file through the ini lookup, as the first preparation does.
void ExpectLoad(const std::string& file, const std::vector<ExpectedEntry>& entries)
{
    std::string path = ScratchDir("reader") + "library.kv1";
    ASSERT_TRUE(WriteFileBytes(path, file));
    SetLibraryPath(path.c_str());
    CForumMenu menu;
    int nLoaded = menu.Load();
    ExpectEntries(menu, nLoaded, entries);
}

void RunCases(const std::vector<LoadCase>& cases)
{
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        ExpectLoad(c.file, c.entries);
    }
}

TEST(Load, WorkedExample)
{
    Lib lib;
    lib.Group("Sales").Forum("Pricing", "Price list");
    EXPECT_EQ(57u, lib.Contents().size());
    ExpectLoad(lib.Contents(), {GroupEntry("Sales"), ForumEntry("Pricing", "Price list")});
}

TEST(Load, FilesWithoutRecords)
{
    Lib one;
    one.Forum("Pricing", "Price list");
    std::string swapped = "\xFF\x93" + one.Contents().substr(2);
    RunCases({
        {"magic in the wrong byte order", swapped, {}},
        {"empty file", "", {}},
        {"one byte", "\x93", {}},
        {"magic only", Cut(one, 2), {}},
        {"ends within the header", Cut(one, 20), {}},
        {"magic and header, 26 bytes", Lib().Contents(), {}},
        {"first name of length 0", Lib().Bytes(std::string(1, '\0')).Forum("A", "a").Contents(), {}},
        {"first name cut off", Cut(one, 30), {}},
    });
}

TEST(Load, ShortAndLongFormsReadAlike)
{
    EXPECT_EQ(std::string("\xFF\x03\x00" "ABC", 6), Lib::Counted("ABC", Long));
    std::vector<ExpectedEntry> salesPricing = {GroupEntry("Sales"),
                                               ForumEntry("Pricing", "Price list")};
    RunCases({
        {"short form", Lib().Group("Sales").Forum("Pricing", "Price list").Contents(),
         salesPricing},
        {"long form", Lib().Group("Sales", Long).Forum("Pricing", "Price list", Long).Contents(),
         salesPricing},
        {"forms mixed within a record",
         Lib().Bytes(Lib::Counted("group", Long) + Lib::Counted("Sales"))
             .Bytes(Lib::Counted("Pricing") + Lib::Counted("Price list", Long))
             .Contents(),
         salesPricing},
        {"long form ABC", Lib().Forum("ABC", "ABC", Long).Contents(), {ForumEntry("ABC", "ABC")}},
    });
}

TEST(Load, OnlyTheExactNameGroupMakesAGroup)
{
    Lib lib;
    lib.Record("Group", "A").Record("groups", "B").Record("grou", "C").Group("D");
    lib.Record(std::string("group\0", 6), "E");  // six bytes, the last a NUL
    ExpectLoad(lib.Contents(), {ForumEntry("Group", "A"), ForumEntry("groups", "B"),
                                ForumEntry("grou", "C"), GroupEntry("D"),
                                ForumEntry(std::string("group\0", 6), "E")});
}

TEST(Load, AbsentLabelsKeepTheRecord)
{
    RunCases({
        {"label of length 0",
         Lib().Record("Pricing", "").Forum("Leads", "Sales leads").Contents(),
         {ForumEntry("Pricing", std::nullopt), ForumEntry("Leads", "Sales leads")}},
        {"long-form label of length 0",
         Lib().Record("Pricing", "", Long).Forum("Leads", "Sales leads").Contents(),
         {ForumEntry("Pricing", std::nullopt), ForumEntry("Leads", "Sales leads")}},
        {"group label kept without a name",
         Lib().Group("Sales").Contents(), {GroupEntry("Sales")}},
        {"group without a label",
         Lib().Record("group", "").Forum("Pricing", "Price list").Contents(),
         {GroupEntry(std::nullopt), ForumEntry("Pricing", "Price list")}},
    });
}

TEST(Load, TheListEndsAtTheFirstAbsentName)
{
    Lib three;
    three.Forum("Pricing", "Price list").Forum("Leads", "Sales leads").Forum("Travel", "Trips");
    std::vector<ExpectedEntry> first3 = {ForumEntry("Pricing", "Price list"),
                                         ForumEntry("Leads", "Sales leads"),
                                         ForumEntry("Travel", "Trips")};
    std::vector<ExpectedEntry> first2(first3.begin(), first3.begin() + 2);
    size_t cbAll = three.Contents().size();  // the third label "Trips" is the last 6 bytes
    Lib threeThenMore = three;
    threeThenMore.Bytes(std::string(1, '\0')).Forum("Hidden", "x");
    Lib threeThenLongZero = three;
    threeThenLongZero.Bytes(std::string("\xFF\0\0", 3)).Forum("Hidden", "x");
    RunCases({
        {"name of length 0 after three records", threeThenMore.Contents(), first3},
        {"FF 00 00 as the fourth name", threeThenLongZero.Contents(), first3},
        {"cut inside the third label", Cut(three, cbAll - 3),
         {first3[0], first3[1], ForumEntry("Travel", std::nullopt)}},
        {"cut right after the third label's length byte", Cut(three, cbAll - 5),
         {first3[0], first3[1], ForumEntry("Travel", std::nullopt)}},
        {"cut inside the third name", Cut(three, cbAll - 6 - 3), first2},
        {"cut inside a long-form length", Cut(Lib(three).Forum("Hidden", "x", Long), cbAll + 2),
         first3},
        {"junk after an absent name",
         Lib(three).Bytes(std::string("\0\xFF\xFF\xFF\x05", 5)).Contents(), first3},
    });
}

TEST(Load, OverlongStringsAreCutAndTheRestConsumed)
{
    const std::vector<ExpectedEntry> after = {ForumEntry("Pricing", "Price list")};
    auto with = [&](ExpectedEntry first) {
        std::vector<ExpectedEntry> v = {first};
        v.insert(v.end(), after.begin(), after.end());
        return v;
    };
    RunCases({
        {"name of 254 bytes, short form",
         Lib().Forum(Text('N', 254), "a").Forum("Pricing", "Price list").Contents(),
         with(ForumEntry(Text('N', 254), "a"))},
        {"name of 255 bytes", Lib().Forum(Text('N', 255), "a").Forum("Pricing", "Price list").Contents(),
         with(ForumEntry(Text('N', 255), "a"))},
        {"name of 256 bytes", Lib().Forum(Text('N', 256), "a").Forum("Pricing", "Price list").Contents(),
         with(ForumEntry(Text('N', 255), "a"))},
        {"name of 65535 bytes",
         Lib().Forum(Text('N', 65535), "a").Forum("Pricing", "Price list").Contents(),
         with(ForumEntry(Text('N', 255), "a"))},
        {"label of 79 bytes", Lib().Forum("A", Text('L', 79)).Forum("Pricing", "Price list").Contents(),
         with(ForumEntry("A", Text('L', 79)))},
        {"label of 80 bytes, short form",
         Lib().Forum("A", Text('L', 80)).Forum("Pricing", "Price list").Contents(),
         with(ForumEntry("A", Text('L', 79)))},
        {"label of 254 bytes, short form",
         Lib().Forum("A", Text('L', 254)).Forum("Pricing", "Price list").Contents(),
         with(ForumEntry("A", Text('L', 79)))},
        {"label of 300 bytes, long form",
         Lib().Group(Text('L', 300)).Forum("Pricing", "Price list").Contents(),
         with(GroupEntry(Text('L', 79)))},
        {"label of 100 bytes, long form",
         Lib().Forum("A", Text('L', 100), Long).Forum("Pricing", "Price list").Contents(),
         with(ForumEntry("A", Text('L', 79)))},
        {"over-long name cut off by the end of the file",
         Cut(Lib().Forum("Pricing", "Price list").Forum(Text('N', 300), "a"), 26 + 19 + 200),
         after},
        {"over-long label cut off by the end of the file",
         Cut(Lib().Forum("Pricing", "Price list").Forum("A", Text('L', 120)), 26 + 19 + 2 + 100),
         {after[0], ForumEntry("A", std::nullopt)}},
    });
}

// How the file is found: the ini key, or the default path relative to the current directory.
class LibraryPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof m_szSavedDir, m_szSavedDir);
        m_dir = ScratchDir("reader-cwd");
        CreateDirectoryA((m_dir + "WINKONVERA").c_str(), NULL);
        ASSERT_TRUE(Lib().Group("Sales").Forum("Pricing", "Price list")
                        .WriteTo(m_dir + "WINKONVERA\\WINKONVERA.KV1"));
        ASSERT_TRUE(SetCurrentDirectoryA(m_dir.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_szSavedDir);
        SetLibraryPath(NULL);
    }
    int LoadIntoMenu()
    {
        return m_menu.Load();
    }

    char m_szSavedDir[MAX_PATH];
    std::string m_dir;
    CForumMenu m_menu;
};

TEST_F(LibraryPath, IniFileMissingUsesTheDefaultPath)
{
    RemoveKonveraIni();
    int nLoaded = LoadIntoMenu();
    ExpectEntries(m_menu, nLoaded, {GroupEntry("Sales"), ForumEntry("Pricing", "Price list")});
}

TEST_F(LibraryPath, KeyMissingUsesTheDefaultPath)
{
    SetLibraryPath("elsewhere.kv1");
    SetLibraryPath(NULL);
    int nLoaded = LoadIntoMenu();
    ExpectEntries(m_menu, nLoaded, {GroupEntry("Sales"), ForumEntry("Pricing", "Price list")});
}

TEST_F(LibraryPath, EmptyKeyMeansNoFile)
{
    SetLibraryPath("");
    int nLoaded = LoadIntoMenu();
    ExpectEntries(m_menu, nLoaded, {});
}

TEST_F(LibraryPath, KeyNamesTheFileRelativeToTheCurrentDirectory)
{
    ASSERT_TRUE(Lib().Forum("Leads", "Sales leads").WriteTo(m_dir + "other.kv1"));
    SetLibraryPath("other.kv1");
    int nLoaded = LoadIntoMenu();
    ExpectEntries(m_menu, nLoaded, {ForumEntry("Leads", "Sales leads")});
}

TEST_F(LibraryPath, MissingFileGivesAnEmptyList)
{
    SetLibraryPath((m_dir + "no such file.kv1").c_str());
    int nLoaded = LoadIntoMenu();
    ExpectEntries(m_menu, nLoaded, {});
}

}  // namespace
