#pragma once
// The movement settings that a movement command holds through a shared pointer.
#include <cstdint>

#include "data/FieldListRecord.h"

class cEdMove : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cEdMove)
    cEdMove();

    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override;
    // The values of a new record: ResetFields, then the non-zero defaults.
    void SetDefaults();

    // In file order.
    int8_t m_nMode = 0;             // 0 by angle and speed, 1 toward the target offset
    int8_t m_nDirection = 0;        // direction choice; rotation choice of the circle move
    int16_t m_nAngle = 0;           // "角度"
    int16_t m_nAngleStep = 0;       // "分身値による増加角度"
    int8_t m_bMirrorAngle = 1;      // from 158
    int8_t m_bUseX = 1;
    int8_t m_bUseY = 1;
    int16_t m_nTargetXBlocks = 0;   // "目標X(bl)"
    int16_t m_nTargetYBlocks = 0;   // "目標Y(bl)"
    int16_t m_nTargetXDots = 0;     // "目標X(dot)"
    int16_t m_nTargetYDots = 0;     // "目標Y(dot)"
    int8_t m_nCoordMode = 0;
    int8_t m_bArriveStop = 1;
    int8_t m_bFixX = 0;             // no horizontal movement
    int8_t m_bFixY = 0;             // no vertical movement
    int8_t m_bMirrorX = 1;
    int8_t m_bMirrorY = 0;
    int8_t m_bReverseOnTurn = 1;
    int8_t m_bStopOnZeroTime = 0;
    int8_t m_bKeepFacing = 0;       // from 162
    int8_t m_nSolveMode = 0;        // 1 speed from time and distance, 2 time from speed and distance
    int16_t m_nSpeed = 10;
    int16_t m_nSpeedStep = 0;
    int16_t m_nDistance = 0;        // "距離(hbl)"
    int16_t m_nDistanceStep = 0;    // "分身値による増加距離(hbl)"
    int8_t m_nDistanceUnit = 0;     // from 159; 1 pixels, otherwise half blocks
    int16_t m_nRadius = 0;          // circle radius, or homing sluggishness "誘導性能の悪さ"
    int16_t m_nRadiusStep = 0;      // "分身値による増加誘導性能の悪さ"
    int8_t m_bInertia = 0;
    int16_t m_nMaxSpeed = 0;
    double m_dInertiaFactor = 1.0;
    int8_t m_bNoWalkAnime = 0;      // from 162
};
