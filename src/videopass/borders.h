#pragma once
// Where the title is cut. Every segment decodes the chain from its start and keeps its own
// frames after the filters (so filters that work on runs of frames see what the whole chain
// sees); a later segment therefore decodes more, and gets fewer frames to encode so that all
// end together. The second pass keeps the first pass's borders and cuts a short trailing
// segment off the end, at a key frame of the first pass (a scene change where there is one).
#include <vector>

namespace videopass {

// Share of a frame's cost spent on a frame before the segment (decoding, perhaps filtering);
// encoding and the rest make up the remainder.
constexpr double kDecodeShare = 0.3;

// First frames of the first pass's segments: at most `jobs` segments (at least one) over
// about `frames` frames, balanced for the decoding each later segment repeats.
std::vector<long> FirstPassStarts(long frames, int jobs, double decodeShare = kDecodeShare);

// The same for frames of unequal cost: `work[i]` is what encoding frame i costs against an
// average frame's 1 (from the source's own sizes: a frame that took more bits on the disc
// takes longer to encode); decoding a frame before a segment costs `decodeShare`.
std::vector<long> FirstPassStarts(const std::vector<double>& work, int jobs, double decodeShare);

// Each of `frames` output frames' encoding cost from the source's video packet sizes (in
// decoding order, spread evenly over the output frames): half fixed, half by its bits.
std::vector<double> FrameWork(const std::vector<long>& packetSizes, long frames);

// How many pieces the second pass cuts the frames before the trailing segment into, here on
// `cores` cores: as many as the first pass had segments, and more on a long title (up to eight
// a core, each at least kPieceFrames long, as many on every core), so that what the first
// pieces make tells how to ask the later ones.
constexpr long kPieceFrames = 375;
int PieceCount(long frames, int cores, int firstSegments);

// First frames of `pieces` pieces of about equal length over frames [0, end), each at the
// first pass's key frame ('i' in `types`) nearest its even place where one lies within a
// quarter piece of it.
std::vector<long> PieceStarts(const std::vector<char>& types, long end, int pieces);

// How long the trailing segment should be: a few percent of the title, at least two seconds'
// worth of frames where the title allows, never more than a quarter of it.
long TrailingLength(long frames);

// The first frame of the trailing segment of a title of types.size() frames ('i' = key frame
// in the first pass), after `notBefore`: a key frame near the wanted length, preferring one
// the encoder placed off its regular key-frame grid (a scene change).
long TrailingStart(const std::vector<char>& types, long notBefore);

}  // namespace videopass
