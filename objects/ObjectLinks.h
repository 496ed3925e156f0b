#pragma once
// How stage objects point at each other, and every way they leave the stage.
//
// Objects live by value in the stage's lists (Player, CharaList, ItemList, the play state's shot
// list), built in a temporary and copied in. The rules:
// - A copy takes over outgoing pointers (a character's target, a shot's target character) but no
//   incoming list: nothing points at a copy until RegisterLinks runs on it.
// - Incoming entries (targeted-by lists, incoming-shot lists, faction lists) are made only for the
//   stored element, after it is in its list, by RegisterLinks and the faction helpers below.
// - Every removal path unlinks the object (Unlink) before it is removed from its list: defeat,
//   RemoveEnemy, lifetime, removal ranges, vanish, stage end. Removal marks it gone; the storage
//   is freed by SweepStageObjects at the start of the next play-step frame or by stage set-up.
// - ClearStageObjects tears a whole stage down without writing through any pointer.
#include <cstdint>

#include "objects/ObjectList.h"

class cCharaBase;
class cChara;
class cItem;
class cShot;
class cPlayState;

// Defined in ObjectLinks.cpp.
// The first hero of Player, then the first character of CharaList, whose key is nKey.
cCharaBase* FindCharaByKey(int32_t nKey);
// Stores a copy of the shot at the end of the shot list and enters it in the faction list of its
// record's force; the stored shot.
cShot* AddShotToStage(cStageList<cShot>& list, const cShot& shot);
// Enters a stored character in its faction list, at the end or at the front.
void AddCharaToFaction(cCharaBase* lpChara, int32_t bFront);
// Unlinks and removes a character of CharaList; the next position.
cStageList<cChara>::iterator RemoveEnemy(cStageList<cChara>::iterator position);
void RemoveEnemy(cChara& chara);
void RemoveShotFromStage(cShot& shot);
void RemoveItemFromStage(cItem& item);
// Frees the storage of removed objects. Only where no walk of the lists is in progress.
void SweepStageObjects(cPlayState& state);
// Empties every stage list (shots, characters, items, faction lists) and drops the heroes' links;
// the heroes stay.
void ClearStageObjects(cPlayState& state);
// Player becomes nCount fresh heroes; called once every other object is gone.
void ResetPlayers(int32_t nCount);
