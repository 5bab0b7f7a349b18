// A scripted user for the file-device runs: ZIMBALO_CLICKS lists clicks as
// "TICK:Caption" entries separated by ',', each a click on the visible button
// with that caption once the sound clock has made TICK ticks (one tick is one
// block of 512 frames). "40:Record,200:Stop" starts a recording after 40
// blocks and stops it after 200.
#pragma once

#include <string>
#include <vector>

namespace zplat {

struct ScriptedClick {
    long tick;
    std::string caption;
};

// The entries of a ZIMBALO_CLICKS value; malformed entries are skipped.
std::vector<ScriptedClick> parseScriptedClicks(const std::string& text);

// Reads ZIMBALO_CLICKS. Called once, when the file devices start.
void loadScriptedClicksFromEnvironment();
// Called by the sound clock after each tick: performs the clicks that are due.
void performScriptedClicks(long tick);

}  // namespace zplat
