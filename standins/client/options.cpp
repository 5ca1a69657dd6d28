#include "options.h"

#include <stdlib.h>
#include <string.h>

namespace {

struct CSimpleAction {
    const char* m_pszName;
    ActionKind m_kind;
} const c_simpleActions[] = {
    {"click", ACT_CLICK}, {"shift-click", ACT_SHIFT_CLICK}, {"dblclick", ACT_DBLCLICK},
    {"help", ACT_HELP},   {"close", ACT_CLOSE},
};

bool ParseAction(int argc, char** argv, int& i, CAction& action)
{
    const char* word = argv[i];
    for (const CSimpleAction& simple : c_simpleActions) {
        if (strcmp(word, simple.m_pszName) == 0) {
            action.m_kind = simple.m_kind;
            return true;
        }
    }
    if (strcmp(word, "click-at") == 0) {
        if (i + 2 >= argc)
            return false;
        action.m_kind = ACT_CLICK_AT;
        action.m_x = atoi(argv[++i]);
        action.m_y = atoi(argv[++i]);
        return true;
    }
    if (strcmp(word, "pick") == 0 || strcmp(word, "tools") == 0) {
        if (i + 1 >= argc)
            return false;
        action.m_kind = word[0] == 'p' ? ACT_PICK : ACT_TOOLS;
        action.m_path = argv[++i];
        return true;
    }
    return false;
}

}  // namespace

bool ParseOptions(int argc, char** argv, COptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        bool bHasValue = i + 1 < argc;
        if (strcmp(word, "--dll") == 0 && bHasValue) {
            options.m_dll = argv[++i];
        } else if (strcmp(word, "--version") == 0 && bHasValue) {
            options.m_ulVersion = strtoul(argv[++i], NULL, 16);
        } else if (strcmp(word, "--base") == 0 && bHasValue) {
            options.m_idBase = strtoul(argv[++i], NULL, 10);
        } else if (strcmp(word, "--log") == 0 && bHasValue) {
            options.m_log = argv[++i];
        } else if (strcmp(word, "--hold") == 0 && bHasValue) {
            options.m_msHold = strtoul(argv[++i], NULL, 10);
        } else if (strcmp(word, "--shot") == 0 && bHasValue) {
            options.m_shot = argv[++i];
        } else if (strcmp(word, "--stay") == 0) {
            options.m_bStay = true;
        } else {
            CAction action = {};
            if (!ParseAction(argc, argv, i, action)) {
                error = word;
                return false;
            }
            options.m_actions.push_back(action);
        }
    }
    return true;
}
