#pragma once
// --episodes on Linux: the IFO reader beside ravlo3 finds the episodes of the disc opened before
// the option (chains of 5 to 90 minutes not made of the others' cells), and the option becomes
// --titles with their numbers.
#include <string>
#include <vector>

namespace ravlo {

// Replaces each "--episodes" of `args` by "--titles LIST"; "" when done, else why not (the
// reader's own reason).
std::string ResolveEpisodes(const std::string& readerPath, std::vector<std::string>& args);

}  // namespace ravlo
