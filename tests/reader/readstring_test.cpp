// The reader's pieces on their own: one counted string into a bounded buffer, and the two passes.
#include "expect_entries.h"
#include "forumfile.h"
#include "winenv.h"

namespace {

typedef ForumLibrary Lib;

// A stream over the given bytes, from a scratch file.
FILE* OpenBytes(const std::string& bytes)
{
    std::string path = ScratchDir("readstring") + "strings.bin";
    if (!WriteFileBytes(path, bytes))
        return NULL;
    return fopen(path.c_str(), "rb");
}

TEST(ReadString, ReadsOneCountedStringWithinItsBuffer)
{
    struct {
        const char* pszWhat;
        std::string bytes;
        int cchBuffer;
        BOOL bPresent;
        std::string text;  // the buffer up to its NUL
        long nNext;        // stream position afterwards
    } cases[] = {
        {"short form", Lib::Counted("ABC") + "x", 16, TRUE, "ABC", 4},
        {"long form", Lib::Counted("ABC", Lib::Long) + "x", 16, TRUE, "ABC", 6},
        {"length 0", std::string("\0x", 2), 16, FALSE, "", 1},
        {"long form of length 0", std::string("\xFF\0\0x", 4), 16, FALSE, "", 3},
        {"end of file", "", 16, FALSE, "", 0},
        {"long-form length cut off", "\xFF\x03", 16, FALSE, "", 2},
        {"text cut off", "\x05" "AB", 16, FALSE, "AB", 3},
        {"just fits", Lib::Counted("ABC") + "x", 4, TRUE, "ABC", 4},
        {"longer than the buffer: cut, rest consumed", Lib::Counted("ABCDEFG") + "x", 4, TRUE,
         "ABC", 8},
        {"long form longer than the buffer", Lib::Counted("ABCDEFG", Lib::Long) + "x", 4, TRUE,
         "ABC", 10},
        {"room for the NUL only", Lib::Counted("ABC") + "x", 1, TRUE, "", 4},
        {"longer than the buffer and cut off", "\x07" "ABCDE", 4, FALSE, "ABC", 6},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        FILE* pFile = OpenBytes(c.bytes);
        ASSERT_NE(nullptr, pFile);
        char buffer[20];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(c.bPresent, CForumMenu::ReadString(pFile, buffer, c.cchBuffer));
        EXPECT_EQ(c.text, std::string(buffer, strnlen(buffer, c.cchBuffer)));
        EXPECT_EQ(c.nNext, ftell(pFile));
        EXPECT_EQ(std::string(sizeof buffer - c.cchBuffer, '#'),
                  std::string(buffer + c.cchBuffer, sizeof buffer - c.cchBuffer))
            << "written past the buffer";
        fclose(pFile);
    }
}

TEST(ReadString, ZeroSizedBufferIsNeverWritten)
{
    FILE* pFile = OpenBytes(Lib::Counted("ABC") + "x");
    ASSERT_NE(nullptr, pFile);
    char buffer[4] = {'#', '#', '#', '#'};
    EXPECT_TRUE(CForumMenu::ReadString(pFile, buffer, 0));
    EXPECT_EQ(4, ftell(pFile));
    EXPECT_EQ(std::string(4, '#'), std::string(buffer, 4));
    fclose(pFile);
}

TEST(Passes, CountingAndReadingPassesAgree)
{
    // Over-long strings in both places: the reading pass, with its smaller label buffer, must
    // still find every record the counting pass saw.
    Lib lib;
    lib.Forum(std::string(300, 'N'), std::string(200, 'L')).Group(std::string(90, 'G'));
    lib.Record("Pricing", "").Forum("Leads", "Sales leads");
    std::string records = lib.Contents().substr(26);
    FILE* pFile = OpenBytes(records);
    ASSERT_NE(nullptr, pFile);
    EXPECT_EQ(4, CForumMenu::CountRecords(pFile));
    EXPECT_EQ((long)records.size(), ftell(pFile));

    fseek(pFile, 0, SEEK_SET);
    CForumMenu menu;
    menu.m_nEntries = 4;
    menu.m_pEntries = new CForumEntry[4];
    EXPECT_TRUE(CForumMenu::ReadRecords(pFile, 4, menu.m_pEntries));
    ExpectEntries(menu, 4, {ForumEntry(std::string(255, 'N'), std::string(79, 'L')),
                            GroupEntry(std::string(79, 'G')), ForumEntry("Pricing", std::nullopt),
                            ForumEntry("Leads", "Sales leads")});

    // Asked for more records than there are: it stops early, the rest stays empty.
    fseek(pFile, 0, SEEK_SET);
    CForumMenu more;
    more.m_nEntries = 6;
    more.m_pEntries = new CForumEntry[6];
    EXPECT_FALSE(CForumMenu::ReadRecords(pFile, 6, more.m_pEntries));
    EXPECT_STREQ("Leads", more.m_pEntries[3].m_pszName);
    for (int i = 4; i < 6; ++i) {
        EXPECT_EQ(nullptr, more.m_pEntries[i].m_pszName);
        EXPECT_EQ(nullptr, more.m_pEntries[i].m_pszLabel);
        EXPECT_FALSE(more.m_pEntries[i].m_bGroup);
    }

    fseek(pFile, 0, SEEK_SET);
    EXPECT_TRUE(CForumMenu::ReadRecords(pFile, 0, NULL));
    EXPECT_TRUE(CForumMenu::ReadRecords(pFile, -1, NULL));
    EXPECT_EQ(0, ftell(pFile));
    fclose(pFile);
}

}  // namespace
