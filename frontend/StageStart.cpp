#include "frontend/StageStart.h"

#include <cstring>

#include "core/CheckedAccess.h"
#include "core/MessageBox.h"
#include "core/Path.h"
#include "data/EdStage.h"
#include "data/EdSystem.h"
#include "data/StageLoader.h"
#include "frontend/SaveData.h"
#include "shell/ShellGlobals.h"

bool LoadStageForStart(const char* lpName)
{
    if (LoadStageFile(lpName, 1, &g_StageStart)) return true;
    ErrorBoxF("ステージファイル %s が読み込めません！", lpName);
    return false;
}

int StartFromStageFile(const char* lpPath, int32_t bNewestVersion)
{
    char szPath[260] = {};
    if (lpPath != nullptr) std::strncpy(szPath, lpPath, sizeof(szPath) - 1);
    g_SaveData.Reset();
    if (!LoadStageFile(szPath, bNewestVersion, &g_StageStart)) return 0;
    g_SaveData.nStage = 1;
    g_SaveData.nPart = 1;
    if (bDirectStage.load() != 0 || CheckedAt(g_System.m_vInfiniteLives, 2) != 0) {
        g_SaveData.nStageStartLives = g_SaveData.nLives = kInfiniteLives;
    } else {
        g_SaveData.nStageStartLives = CheckedAt(g_System.m_vStartLives, 2);
        g_SaveData.nLives = g_SaveData.nStageStartLives - 1;
    }
    MakePathRelative(szPath);
    g_SaveData.SetCurrentStageName(szPath);
    return 1;
}
