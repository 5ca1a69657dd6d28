// Plays the user in modal loops the client cannot step through itself: picks an item of an open
// popup menu ("#32768") by its labels with keyboard input, or closes the About box and reads it.
// Both run from a thread timer, which keeps firing inside the menu's and the box's modal loops.
#pragma once

#include <windows.h>

#include <string>

class CClientLog;

class CMenuDriver {
public:
    enum Result { NO_MENU, PICKED, NOT_FOUND, DISMISSED };

    // Arms the driver for the popup hMenu that the next call will open: pick the item at the
    // labels of path ("A/B"), or close the menu with Escape when path is empty. With a hold,
    // the last item is chosen msHold ms after the menu opened, and a picture is saved to shot
    // halfway through.
    void Arm(HMENU hMenu, const std::string& path, DWORD msHold,
             const std::string& shot = std::string());
    // Disarms after the call that opened the menu has returned.
    Result Disarm();
    // Screen position of the menu window's top-left corner when it was first seen.
    POINT MenuOrigin() const { return m_ptOrigin; }

private:
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);
    void Step();
    void Key(HWND hMenuWnd, WPARAM vk);
    std::string NextLabel() const;

    UINT_PTR m_idTimer = 0;
    HMENU m_hMenu = NULL;   // the level being navigated
    std::string m_path;
    size_t m_nLabel = 0;    // offset of the current label in m_path
    DWORD m_msHold = 0;
    DWORD m_tickSeen = 0;   // when the menu was first seen
    POINT m_ptOrigin = {};
    int m_nSteps = 0;
    std::string m_shot;
    Result m_result = NO_MENU;
    bool m_bDone = false;
};

// Arms a thread timer that waits for the About box, logs its text and presses OK.
void ArmAboutCloser(CClientLog& log);
void DisarmAboutCloser();
