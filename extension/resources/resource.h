// Resource ids of HOPEXT.DLL.
#pragma once

#define IDB_HOPSTART 129
#define IDS_RUN_KONVERA 131
#define IDS_HELP_TEXT 132
#define IDS_BUTTON_DESCRIPTION 133
