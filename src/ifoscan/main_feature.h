#pragma once
// The title sets of a disc, parsed, and the main feature among their chains: what a user who
// opens a whole disc wants without naming a chain.

#include <string>
#include <vector>

#include "disc_source.h"
#include "title_set.h"

namespace ifoscan {

struct DiscTitleSet {
  int number = 0;  // from 1, as the disc numbers it
  TitleSet titleSet;
};

struct DiscContents {
  std::vector<DiscTitleSet> sets;
  std::vector<std::string> skipped;  // "title set 3: why", for sets that cannot be read
  std::string error;                 // why nothing can be read; sets is empty then
};

// Every title set of source, or only title set `wanted` when it is not 0. Of a whole disc, a
// damaged title set is skipped (a disc may hold broken menus and padding sets); the one
// wanted, or the only one, is an error when it cannot be read, and so is a source lost on the
// way (its reader crashed).
DiscContents ReadDisc(DiscSource& source, int wanted);

struct ChainChoice {
  std::size_t set = 0;  // index into the sets
  int chain = 1;        // from 1
};

// The longest chain (whole seconds of its playback time); a tie goes to the title set with
// more audio streams, then to the first.
ChainChoice MainFeature(const std::vector<DiscTitleSet>& sets);

// The disc's copy protection, found on the first sectors of the chain: ScrambledMessage() when
// they are scrambled, else "" (also when the VOB files are missing or cannot be read: an IFO
// alone can still be analysed), unless the source was lost reading them: then why.
std::string EncryptionProblem(DiscSource& source, int titleSet, const ProgramChain& chain);

// One line per chain: title set, chain, length h:mm:ss, chapters, audio and subtitle streams
// with their languages; an episode's line is marked "(episode)", and the main feature's line
// ends with "(main feature)".
std::string FormatChainList(const std::vector<DiscTitleSet>& sets, ChainChoice main);

}  // namespace ifoscan
