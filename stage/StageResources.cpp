// The surfaces a stage builds from the project's database (character bitmaps, swords, effects,
// each plain and mirrored), the two shot sheets, and the emptying of the picture and message
// surfaces of a previous play.
//
// A mirrored or system-memory surface names the plain one as its mirror source. The surface
// vectors keep every element at its own address whatever they grow to, so such pointers hold
// for as long as both surfaces are in the vector; the descriptor vectors are reserved up front.
#include "stage/StageResources.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/Log.h"
#include "data/EdDatabase.h"
#include "data/EdEffect.h"
#include "data/EdMediaEntry.h"
#include "data/EdSwordType.h"
#include "media/graphics/BitmapTable.h"
#include "media/graphics/DDBlt.h"
#include "media/graphics/DDFill.h"
#include "media/graphics/GraphicsState.h"
#include "shell/ShellGlobals.h"
#include "stage/PlayState.h"

namespace {

constexpr int32_t kShotSheetA = 63;
constexpr int32_t kShotSheetB = 64;
constexpr int32_t kShotSource = 20;
constexpr int32_t kShotSourceB = 21;

BITMAPFILEENTRY SurfaceDesc(const std::string& file, int32_t nMemory, int32_t nMirrorWidth, int32_t bView)
{
    BITMAPFILEENTRY desc;
    std::memset(&desc, 0, sizeof(desc));
    std::strncpy(desc.szFileName, file.c_str(), sizeof(desc.szFileName) - 1);
    desc.bColorKey = 1;
    desc.nDDMemoryType = nMemory;
    desc.bView = bView;
    desc.nMirrorWidth = nMirrorWidth;
    return desc;
}

// Creates the surface of a descriptor; a file that cannot be loaded leaves the surface empty
// after a trace line in the caller's words.
void CreateFromDesc(DDSURFACEDATA& surface, const BITMAPFILEENTRY& desc, const char* lpFailure)
{
    const int32_t nResult = DDCreateSurfaceFromFile(&surface, desc.szFileName, desc.bColorKey, nBpp,
                                                    desc.nDDMemoryType, desc.nDTMemoryType, desc.bView,
                                                    desc.bPaletteMap, desc.nMirrorWidth, desc.nMirrorHeight, 0);
    if (!DDReportSurfaceError(nResult) || nResult < 0) {
        WriteTraceLogF(lpFailure, desc.szFileName);
        DDReleaseSurface(&surface);
    }
}

void ReleaseVector(DDSurfaceVector& surfaces, std::vector<BITMAPFILEENTRY>& descs)
{
    DDReleaseSurfaceVector(surfaces);
    surfaces.clear();
    descs.clear();
}

// Appends one surface per descriptor, then points each at its mirror source (-1: none), an
// element of the same group.
void AddGroup(DDSurfaceVector& surfaces, std::vector<BITMAPFILEENTRY>& descs, const BITMAPFILEENTRY* lpDescs,
              const int32_t* lpSources, int32_t nCount, const char* lpFailure)
{
    const size_t nFirst = surfaces.size();
    for (int32_t j = 0; j < nCount; ++j) {
        descs.push_back(lpDescs[j]);
        DDSURFACEDATA& surface = surfaces.emplace_back();
        // Under Direct3D a copy is a view of its source: it needs the source before it is made.
        if (lpSources[j] >= 0 && lpDescs[j].bView != 0)
            surface.lpBaseSD = &surfaces[nFirst + static_cast<size_t>(lpSources[j])];
        CreateFromDesc(surface, lpDescs[j], lpFailure);
    }
    for (int32_t j = 0; j < nCount; ++j)
        if (lpSources[j] >= 0)
            surfaces[nFirst + static_cast<size_t>(j)].lpBaseSD = &surfaces[nFirst + static_cast<size_t>(lpSources[j])];
}

int32_t ViewFlag()
{
    return lpDTCon != nullptr ? 1 : 0;
}

}  // namespace

void BuildShotSheets()
{
    for (int32_t nSheet : {kShotSheetA, kShotSheetB}) {
        DDSURFACEDATA& sheet = SystemSurfaces[nSheet];
        DDFillRect(&sheet, 0, 0, sheet.nWidth, sheet.nHeight, 0);
    }
    // Each 16-pixel frame centred in a 32-pixel cell: shot n at column n / 30, row n mod 30, its
    // two frames side by side.
    const struct {
        int32_t nSheet, nSource;
    } pairs[] = {{kShotSheetA, kShotSource}, {kShotSheetB, kShotSourceB}};
    for (const auto& pair : pairs) {
        DDSURFACEDATA* lpSheet = &SystemSurfaces[pair.nSheet];
        DDSURFACEDATA* lpSource = &SystemSurfaces[pair.nSource];
        for (int32_t r = 0; r < 30; ++r)
            for (int32_t d = 0; d < 4; ++d) {
                DDBlt(lpSheet, 64 * d + 8, 32 * r + 8, 16, 16, lpSource, 32 * d, 16 * r, 1);
                DDBlt(lpSheet, 64 * d + 40, 32 * r + 8, 16, 16, lpSource, 32 * d + 16, 16 * r, 1);
            }
    }
}

void LoadStageCharaBitmaps()
{
    ReleaseVector(StageCharaSurfaces, StageCharaSurfaceDescs);
    const std::vector<cEdBmpCharaExc>& list = g_Database.m_vBmpCharaExc;
    if (list.size() <= 1) return;
    StageCharaSurfaceDescs.reserve((list.size() - 1) * 4);
    const int32_t bView = ViewFlag();
    static const int32_t kSources[4] = {-1, 0, 0, 0};
    for (size_t e = 1; e < list.size(); ++e) {
        const cEdBmpCharaExc& entry = list[e];
        const int32_t nCell = entry.GetCellSide();
        const BITMAPFILEENTRY descs[4] = {SurfaceDesc(entry.m_strFile, 0, 0, 0),
                                          SurfaceDesc(entry.m_strFile, 0, nCell, bView),
                                          SurfaceDesc(entry.m_strFile, 1, 0, bView),
                                          SurfaceDesc(entry.m_strFile, 1, nCell, bView)};
        AddGroup(StageCharaSurfaces, StageCharaSurfaceDescs, descs, kSources, 4, "専用bmp %s 読み込み失敗！");
    }
}

void LoadStageSwords()
{
    ReleaseVector(StageSwordSurfaces, StageSwordSurfaceDescs);
    const std::vector<cEdSwordType>& list = g_Database.m_vSwordType;
    StageSwordSurfaceDescs.reserve(list.size() * 4);
    const int32_t bView = ViewFlag();
    static const int32_t kSources[4] = {-1, -1, 0, 1};
    for (const cEdSwordType& entry : list) {
        // Picture A faces left and picture B right, so that type x 4 + facing finds its picture.
        const std::string& a = entry.m_strLeftFile;
        const std::string& b = entry.m_strRightFile;
        const BITMAPFILEENTRY descs[4] = {SurfaceDesc(a, 0, 0, 0), SurfaceDesc(b, 0, 0, 0),
                                          SurfaceDesc(a, 1, 0, bView), SurfaceDesc(b, 1, 0, bView)};
        AddGroup(StageSwordSurfaces, StageSwordSurfaceDescs, descs, kSources, 4, "ソード %s 読み込み失敗！");
    }
}

void LoadStageEffects()
{
    ReleaseVector(StageEffectSurfaces, StageEffectSurfaceDescs);
    const std::vector<cEdEffect>& list = g_Database.m_vEffect;
    if (list.size() <= 1) return;
    StageEffectSurfaceDescs.reserve((list.size() - 1) * 2);
    const int32_t bView = ViewFlag();
    static const int32_t kSources[2] = {-1, 0};
    for (size_t e = 1; e < list.size(); ++e) {
        const std::string& file = list[e].m_strFile;
        const BITMAPFILEENTRY descs[2] = {SurfaceDesc(file, 0, 0, 0), SurfaceDesc(file, 1, 0, bView)};
        AddGroup(StageEffectSurfaces, StageEffectSurfaceDescs, descs, kSources, 2, "エフェクト %s 読み込み失敗！");
    }
}

void ClearStagePictures()
{
    // The pictures give their own surfaces back as they go; what is left over goes after them.
    if (cPlayState* lpState = PlayState()) lpState->m_PictureList.Clear();
    DDReleaseSurfaceList(PictureSurfaces);
    PictureSurfaces.clear();
    PictureSurfaceDescs.clear();
}

void ClearMessageSurfaces()
{
    // Stage set-up: no walk of the message list is in progress, so removed messages can go now
    // and give their surfaces back; the messages that remain lose theirs.
    if (cPlayState* lpState = PlayState()) {
        lpState->m_MessageList.Sweep();
        for (cMessageObject& message : lpState->m_MessageList) message.ReleaseSurface();
    }
    DDReleaseSurfaceList(Off_Msg);
    Off_Msg.clear();
    MessageSurfaceDescs.clear();
}
