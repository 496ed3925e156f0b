#pragma once
// The shell's two small record files: the start dialog's choice ("user_data\Boot.dat") and the
// main window's placement ("user_data\Window.dat"); and the player's options
// ("user_data\Option.dat"), which start-up reads for the volume, the music switch and the 8-bit
// palette pattern.
#include <cstdint>
#include <string>

#include "data/FieldListRecord.h"

class cBootSettings : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cBootSettings)
    cBootSettings();
    void RegisterFields(uint32_t nVersion) override;
    bool Load(FILE* fp) override { return LoadThenNoOp(fp); }
    bool Save(FILE* fp) override { return SaveAfterNoOp(fp); }
    int32_t m_nDrawingMode = 1;   // 1 Direct3D, 0 DirectDraw
    int32_t m_bDontAsk = 0;       // 1: do not show the start dialog again
};

class cWindowPlacement : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cWindowPlacement)
    cWindowPlacement();
    void RegisterFields(uint32_t nVersion) override;
    // The stored corner is brought back onto the screen as it is now, and the client size into
    // the range from the main window's smallest (100 x 100) to the screen's.
    bool Load(FILE* fp) override;
    void SetWindowPlacement(int32_t x, int32_t y, int32_t width, int32_t height, int32_t maximised);
    int32_t m_nX = 0;
    int32_t m_nY = 0;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    int32_t m_bMaximised = 0;
};

class cOptionData : public cFieldListRecord {
public:
    FIELD_LIST_RECORD_CLONE(cOptionData)
    cOptionData();
    void RegisterFields(uint32_t nVersion) override;
    // The generic body; the values are then brought into their ranges, since the file is the
    // player's and may hold anything.
    bool Load(FILE* fp) override;
    bool Save(FILE* fp) override { return SaveAfterNoOp(fp); }
    void Validate();
    int32_t nPalettePattern = 0;     // 0..23
    int32_t bBgm = 1;
    int32_t nVolume = 7;             // 0..10
    int32_t nRankingEntryMode = 0;   // 0..3
    std::string strPlayerName = "aaa";
};

extern cBootSettings BootSettings;
extern cWindowPlacement WindowPlacement;
extern cOptionData OptionData;

// The sound-effect volume of an option level, in hundredths of a decibel. A level from a damaged
// option file outside 0..10 gets the default level's volume.
int32_t VolumeOfLevel(int32_t nLevel);
