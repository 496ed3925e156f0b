#pragma once
// The player's character. Differs from a computer character in its walking speed, its held jump,
// the view that follows it, its item box, the item commands it receives and the boxes and sight
// mask it draws.
#include <cstdint>
#include <list>
#include <vector>

#include "data/EdCommand.h"
#include "flows/ParamBinding.h"
#include "objects/CharaBase.h"

// One of the hero's boxes shown for checking them.
struct HeroBox {
    int32_t m_nKind = 0;        // 0 hit box, 1 character box, 2 item box, 3 shot box
    int32_t m_nDrawMode = 0;    // 0 not drawn, 1 filled, 2 frame
    int32_t m_nColor = 0;
    int32_t m_nX = 0, m_nY = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    int32_t m_nCycle = 0;
};

extern const int32_t HeroBoxColours[8];

class cHero : public cCharaBase {
public:
    cHero() = default;
    cHero(const cHero&) = default;
    ~cHero() override = default;

    // Defined in Hero.cpp.
    void ScaleBoxes(int32_t nScale) override;                             // slot 3
    void UpdateBoxesX() override;                                         // slot 5
    void UpdateBoxesY() override;                                         // slot 6
    int32_t OnMovedX() override;                                          // slot 15
    int32_t OnMovedY() override;                                          // slot 16
    int32_t MoveHorizontal() override;                                    // slot 17
    int32_t MoveVertical() override;                                      // slot 18
    int32_t RunObjectFlows(int32_t bDying) override { return RunHeroFlows(bDying); }   // slot 19
    void UpdateJump(cCommandInstance* lpInst) override { HeroJumpControl(lpInst); }   // slot 20

    void InitForStage(int32_t nKey, const cEdChara& definition, double x, double y);
    void SetSize(int8_t nMoveKind, bool bRescale);
    void RebuildBoxes();
    void GetScreenRect();
    int32_t RunHeroFlows(int32_t bDying);
    void HeroJumpControl(cCommandInstance* lpInst);
    int32_t RunItemCommands(std::vector<cEdCommand>& vCommands);
    int32_t IsNotInObjectList(int32_t nKey) const;
    void RemoveFromObjectList(int32_t nKey);
    void KeepPreviousContact();
    void AddMessageAt(int8_t nKind, int16_t nGraphic, int16_t nValue);
    void Draw(DDSURFACEDATA* lpTarget, int32_t bFlag);
    void DrawSightMask(DDSURFACEDATA* lpTarget);

    cKeyInput* m_lpKeyInput = nullptr;       // an element of InputStates
    int32_t m_nJumpHeld = 0;
    int32_t m_bJumpReady = 0;
    int32_t m_bNoJump = 0;
    double m_dFloorRate = 0.0;
    int32_t m_bJumpStepped = 0;
    std::list<int32_t> m_lTouchedItems;      // keys
    int32_t m_nFloorAction = 0;
    double m_dFloorValue = 0.0;
    int32_t m_nFloorTime = 0;
    int32_t m_bBlockItemTaken = 0;
    CharaBox m_ItemBox;
    std::vector<HeroBox> m_vBoxes;
    std::vector<cEdCommand> m_vItemCmdQueue;
    std::list<ParamBinding> m_lBindings;
};
