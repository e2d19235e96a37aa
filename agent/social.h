#pragma once

#include <cstdint>

namespace murinex {

class Run;
class TMaus;

// The giver shares food (code 2), water (3) or care (4) with a needy mouse;
// other codes do nothing.
void GiveHelp(Run& run, TMaus& giver, TMaus& needy, std::uint8_t code);

// A bite attempt of attacker on target (nothing without a target), written to
// the aggression protocol.
void Aggression(Run& run, TMaus& attacker, TMaus* target);

}  // namespace murinex
