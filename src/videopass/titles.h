#pragma once
// Several titles of one plan, each into a file of its own: title N's work lies in the folder
// titleN (its movie.vob, its tracks, the words of its encodes and its length, written by the
// script, and the first pass in titleN/segments). Sharing one medium, the titles' first passes
// are read as one, so that the bits go where the pictures need them across the titles; the
// files together fill the medium within [99.5%, 100%]. Or each title fills a medium of its own.
#include "videopass/options.h"

namespace videopass {

int TitlesFirst(const Options& options);
int TitlesSecond(const Options& options);

}  // namespace videopass
