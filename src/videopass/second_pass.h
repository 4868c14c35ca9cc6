#pragma once
// videopass second: the main segments at the title's bitrate, then the trailing segment until
// the results fill the medium within [99.5%, 100%], joined into one movie.
#include "videopass/options.h"

namespace videopass {

// The exit code: 0 when the movie is joined and the results fill the medium (or the title is
// made at its best and too small to fill it).
int Second(const Options& options);

}  // namespace videopass
