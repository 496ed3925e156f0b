// Sound and music of stage play. The game thread never plays them itself: it asks the main window
// and waits until the sound or music has started, so a sound is heard in the frame that made it.
#include "stage/StageSounds.h"

#include "core/MainWindow.h"
#include "frontend/SaveData.h"
#include "platform/win/WinMessage.h"
#include "shell/MainWindowProc.h"

void PlaySystemSound(int32_t n)
{
    SendMessage(hMainWnd.load(), UM_PLAYSE, static_cast<WPARAM>(n), 0);
}

void PlayProjectSound(int16_t n)
{
    if (n == 0) return;
    // The project's sounds follow the sixteen system sounds in the sound table.
    SendMessage(hMainWnd.load(), UM_PLAYSE, static_cast<WPARAM>(static_cast<int32_t>(n) + 16), 0);
}

void RequestStageBgm(int32_t nNumber, int32_t nOption)
{
    g_SaveData.nBgmOption = nOption;
    // The music now playing is what set-up compares the next stage's music with.
    g_SaveData.nBgm = nNumber;
    StageBgmLoop = nOption;
    SendMessage(hMainWnd.load(), UM_PLAYBGM, 4, static_cast<LPARAM>(nNumber));
}
