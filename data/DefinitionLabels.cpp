#include "data/DefinitionLabels.h"

const std::string OnOffLabels[3] = {"OFF", "ON", ""};
const std::string OnOffLabels2[3] = {"OFF", "ON", ""};
const std::string CharaFlyingLabels[5] = {"OFF", "ON (ブロックをすり抜ける)", "ON (ブロックに当たる)",
                                          "ON (ブロックに当たると即死)", ""};
const std::string CharaInvincibleLabels[4] = {"OFF", "ON (ショットが当たる)", "ON (ショットがすり抜ける)", ""};
const std::string CharaGiantLabels[11] = {"しない", "×4", "×9", "×16", "×25", "×36", "×49", "×64", "×81", "×100", ""};
