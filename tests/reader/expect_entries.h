// What a forum list should hold after loading, and the check of a loaded CForumMenu against it.
#pragma once

#include <gtest/gtest.h>
#include <malloc.h>
#include <string.h>

#include <optional>
#include <string>
#include <vector>

#include "forummenu/forummenu.h"

struct ExpectedEntry {
    bool bGroup;
    std::optional<std::string> name;   // nullopt: no name stored
    std::optional<std::string> label;  // nullopt: no label stored
};

inline ExpectedEntry GroupEntry(std::optional<std::string> label)
{
    return {true, std::nullopt, label};
}

inline ExpectedEntry ForumEntry(const std::string& name, std::optional<std::string> label)
{
    return {false, name, label};
}

// A stored string must be a heap block of exactly its text and a NUL.
inline void ExpectCopy(const char* psz, const std::optional<std::string>& expected,
                       const char* pszField)
{
    if (!expected) {
        EXPECT_EQ(nullptr, psz) << pszField;
        return;
    }
    ASSERT_NE(nullptr, psz) << pszField;
    ASSERT_EQ(expected->size() + 1, _msize(const_cast<char*>(psz))) << pszField;
    EXPECT_EQ(0, memcmp(psz, expected->c_str(), expected->size() + 1))
        << pszField << ": got '" << psz << "'";
}

inline void ExpectEntries(const CForumMenu& menu, int nLoaded,
                          const std::vector<ExpectedEntry>& expected)
{
    EXPECT_EQ((int)expected.size(), nLoaded);
    ASSERT_EQ((int)expected.size(), menu.m_nEntries);
    if (expected.empty()) {
        EXPECT_EQ(nullptr, menu.m_pEntries);
        return;
    }
    ASSERT_NE(nullptr, menu.m_pEntries);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const CForumEntry& entry = menu.m_pEntries[i];
        EXPECT_EQ(expected[i].bGroup, !!entry.m_bGroup);
        ExpectCopy(entry.m_pszName, expected[i].name, "name");
        ExpectCopy(entry.m_pszLabel, expected[i].label, "label");
    }
}
