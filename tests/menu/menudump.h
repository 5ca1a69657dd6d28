// Reads a real menu back into a readable listing, one item a line, popups indented:
//   "Run Konvera" 1000
//   ---
//   "Sales" popup
//     "Price list" 1002
#pragma once

#include <windows.h>

#include <string>

std::string DumpMenu(HMENU hMenu);
