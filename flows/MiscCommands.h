#pragma once
// Graphic, animation, screen, sound, music, code, arrange and loop commands (kinds 26 to 28,
// 30, 31, 33 to 39).
#include <cstdint>

class cCharaBase;
class cCommandInstance;
class cEdCommand;

// Defined in MiscCommands.cpp.
int32_t WorkGraphicChange(cCharaBase* lpObject, cEdCommand* lpCmd);       // 26
int32_t WorkBasicAnimeSet(cCharaBase* lpObject, cEdCommand* lpCmd);       // 27
int32_t WorkPlayAnime(cCharaBase* lpObject, cEdCommand* lpCmd);           // 28
int32_t WorkCharaEffect(cCharaBase* lpObject, cEdCommand* lpCmd);         // 30
int32_t WorkScreenEffect(cCharaBase* lpObject, cEdCommand* lpCmd);        // 31
int32_t WorkScreenColor(cCharaBase* lpObject, cEdCommand* lpCmd);         // 33
int32_t WorkBackground(cCharaBase* lpObject, cEdCommand* lpCmd);          // 34
int32_t WorkSound(cCharaBase* lpObject, cEdCommand* lpCmd);               // 35
int32_t WorkBgm(cCharaBase* lpObject, cEdCommand* lpCmd);                 // 36
int32_t WorkCode(cCharaBase* lpObject, cEdCommand* lpCmd);                // 37
int32_t WorkArrange(cCharaBase* lpObject, cEdCommand* lpCmd);             // 38
int32_t WorkLoop(cCharaBase* lpObject, cEdCommand* lpCmd);                // 39
// The flow entries: unwrap the command of the instance and call the worker.
void CmdGraphicChange(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdBasicAnimeSet(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdPlayAnime(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdCharaEffect(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdScreenEffect(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdScreenColor(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdBackground(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdSound(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdBgm(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdCode(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdArrange(cCharaBase* lpObject, cCommandInstance* lpInst);
void CmdLoop(cCharaBase* lpObject, cCommandInstance* lpInst);
