#pragma once
// The exact fill: the results together within [99.5%, 100%] of the medium, never over.
#include <cstddef>
#include <functional>
#include <vector>

#include "videopass/bit_share.h"

namespace videopass {

// True when `total` bytes of results fill the medium within the window.
bool FillsMedium(long long total, long long medium);

// Bytes of results to aim at: the middle of the window.
long long AimedTotal(long long medium);

// What the trailing segment should add to the joined main segments (`joinedMain` bytes,
// one AVI with its header and index) for the results to land at the aim. AVI keeps 24 bytes
// a frame (chunk header and index entry) beside the picture.
double TrailingGoal(long long medium, long long others, long long joinedMain, long trailingFrames);

// The most and the least the trailing segment is asked to carry against its fair share.
constexpr double kTrailingLeast = 0.4, kTrailingMost = 3.5;

// Whether a trailing segment whose first pass took `firstPassBytes` can carry `goal` bytes
// with a picture close enough to the rest's: 0.4 to 3.5 times its fair share (it grows
// easily, and an easy ending's share is small: a varied title's last 4% of frames had 1% of
// its bytes), and no more than its finest quantizer made.
bool TrailingCanCarry(double goal, double fairShare, long long firstPassBytes);

// A piece of the main part as the request of another is chosen: the pieces are encoded in
// their order, a few side by side, and each is asked when it starts.
struct Piece {
  enum State { Waiting, Running, Ended } state = Waiting;
  double share = 0;          // its share of the picture's bytes
  double firstPerFrame = 0;  // its first pass's bytes a frame: how hard its picture is
  double request = 0;        // running or ended: the bitrate it was asked
  // Ended: the bytes of picture it made; running: what it is on course for (< 0: not told yet).
  double picture = -1;
  // Its earlier run, if any (request 0: none): the best forecast of how it answers a request.
  double lastRequest = 0;
  double lastPicture = 0;
  // The run before that (request 0: none): with two runs, how its size follows its request.
  double earlierRequest = 0;
  double earlierPicture = 0;
};

// What piece `j` is expected to make of its share at the common request: as its own earlier
// run did; else as the piece nearest it in the title did (ended, or on course once running)
// among those whose first pass's bytes a frame are within 15% of its own (a varied title's
// pieces made 0.48 to 1.80 of their shares at one request, by their pictures); else as those
// told so far did together; else its share. A picture's bytes are taken to follow its request.
double PieceLanding(const std::vector<Piece>& pieces, std::size_t j, double common);

// The bytes of picture piece `j` is expected to make at `request`: from its own earlier run
// (as its two last runs followed their requests; from one run, a smaller request shrinking it
// as bitrate^0.6: a picture shrinks less than its request), else at its landing.
double PieceExpected(const std::vector<Piece>& pieces, std::size_t j, double common, double request);

// The request for waiting piece `j`: what the pieces started before it are expected to make
// beyond their shares (and the main part should make `extra` bytes beyond them all) is made up
// by the waiting pieces in proportion to their shares, each asked for at most `most` and at
// least `least` times its share; the request is what that goal takes at its landing (from its
// own earlier run, a smaller goal as if its picture shrank as bitrate^0.6).
double PieceRequest(const std::vector<Piece>& pieces, std::size_t j, double common, double extra, double least,
                    double most);

// A main segment part-way through its second pass.
struct MainCourse {
  double share = 0;         // its share of the picture's bytes
  double doneShare = 0;     // of it, the share of the frames made so far
  double made = 0;          // the bytes of picture those frames took
  double donePerFrame = 0;  // the first pass's bytes a frame over the frames made
  double restPerFrame = 0;  // and over the frames still to come
};

// The bytes of picture a main segment is on course to make. libxvid pays a shortfall back
// with finer quantizers, which the frames answer (a noisy picture at 0.90 of its share after
// 30% of its frames ended at 0.968): the rest is expected on its share. An excess stays on a
// picture alike throughout, whose size hardly answers the coarser quantizers that would pay it
// back (an easy picture at 1.045 after 30% ended at 1.040): a rest whose first pass's bytes a
// frame are within 15% of the frames made is expected over its share alike. A rest unlike them
// is expected on its share (an easy part at 1.11, then a noisy one: 0.997 at the end).
double OnCourse(const MainCourse& course);

struct Landed {
  enum Kind { Fills, AtBest, NeedsMain, Missed, Error } kind = Missed;
  long long total = 0;  // bytes of all results after the last encode
  long long under = 0;  // the most bytes of all results a try gave under the medium (0: none)
};

// Encodes the trailing segment until the results fill the medium. `encode(bitrate)` makes it
// at that request and returns the bytes of all results (negative: it failed); `again()` is
// called before every encode after the first. `tries` holds what is known of its response
// (bitrate, bytes of all results) to aim the first request. A title made at its best takes
// whatever fits; otherwise NeedsMain says that even at its best (or at its least) the trailing
// segment cannot make up what the other segments missed; Missed, that no request lands (its
// response steps over the window between two requests a hair apart, or the encodes ran out),
// with the most a try gave under the medium.
Landed LandTrailing(std::vector<Try> tries, long long medium, double bestBitrate, bool atBest, int maxEncodes,
                    const std::function<long long(double)>& encode, const std::function<void()>& again);

}  // namespace videopass
