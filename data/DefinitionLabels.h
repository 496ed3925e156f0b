#pragma once
// The value names of definition members that the player reads at run time: the command parameter
// descriptors of the status command name on/off values, flying, invincibility and size with them.
// Each table lists the names in value order and ends with an empty string.
#include <string>

extern const std::string OnOffLabels[3];          // "OFF", "ON"
extern const std::string OnOffLabels2[3];         // the same, a table of its own
extern const std::string CharaFlyingLabels[5];    // m_nFlying 0..3
extern const std::string CharaInvincibleLabels[4];   // m_nInvincible 0..2
extern const std::string CharaGiantLabels[11];    // m_nGiant 1..10
