// Placeholders until this file is built: each function does nothing and returns zero,
// so that the whole tree links while the play state is built part by part.
#include "flows/MiscCommands.h"

#pragma GCC diagnostic ignored "-Wunused-parameter"

int32_t WorkGraphicChange(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkBasicAnimeSet(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkPlayAnime(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkCharaEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkScreenEffect(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkScreenColor(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkBackground(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkSound(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkBgm(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkCode(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkArrange(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

int32_t WorkLoop(cCharaBase* lpObject, cEdCommand* lpCmd)
{ return {}; }

void CmdGraphicChange(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdBasicAnimeSet(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdPlayAnime(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdCharaEffect(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdScreenEffect(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdScreenColor(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdBackground(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdSound(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdBgm(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdCode(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdArrange(cCharaBase* lpObject, cCommandInstance* lpInst)
{}

void CmdLoop(cCharaBase* lpObject, cCommandInstance* lpInst)
{}
