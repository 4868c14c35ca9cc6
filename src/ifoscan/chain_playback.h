#pragma once
// The player's view of a program chain: its cell playback table, program map and colour
// table, and the order in which a player visits the cells for one angle.

#include <string>
#include <vector>

#include "byte_reader.h"
#include "title_set.h"

namespace ifoscan {

// Reads the player tables of the chain that starts at chain[0] (chain runs to the end of its
// table) into out. Returns why they cannot be used, or an empty string.
std::string ReadChainPlayback(Bytes chain, ProgramChain& out);

struct CellOrder {
  std::vector<int> cells;  // 0-based indexes into ProgramChain::cells, in playback order
  int angles = 1;          // how many angles the chain offers
  std::string error;       // why the chain cannot be played at that angle, when not empty
};

// The cells a player shows for angle (1-based): programs in map order, each from its entry
// cell up to the next program's; of each angle block only the cell of the chosen angle.
CellOrder PlaybackOrder(const ProgramChain& chain, int angle);

// 90 kHz ticks of a BCD playback time (hh mm ss ff, the frame rate in ff's top two bits).
// False when a digit is not decimal or frames are counted without a frame rate.
bool DecodePlaybackTime(const std::uint8_t bcd[4], std::int64_t& ticks);

}  // namespace ifoscan
