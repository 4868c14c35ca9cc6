#include "videopass/fill.h"

#include <algorithm>
#include <cmath>

namespace videopass {

bool FillsMedium(long long total, long long medium) {
  return total <= medium && total * 1000 >= medium * 995;
}

long long AimedTotal(long long medium) { return medium - medium / 400; }

double TrailingGoal(long long medium, long long others, long long joinedMain, long trailingFrames) {
  return static_cast<double>(AimedTotal(medium) - others - joinedMain) - 24.0 * trailingFrames;
}

bool TrailingCanCarry(double goal, double fairShare, long long firstPassBytes) {
  return goal <= static_cast<double>(firstPassBytes) && goal >= kTrailingLeast * fairShare && goal <= kTrailingMost * fairShare;
}

double PieceLanding(const std::vector<Piece>& pieces, std::size_t j, double common) {
  const Piece& piece = pieces[j];
  auto landing = [&](const Piece& p, double request, double picture) {
    return picture / std::max(p.share, 1.0) * common / std::max(request, 1.0);
  };
  if (piece.lastRequest > 0) return landing(piece, piece.lastRequest, piece.lastPicture);
  const Piece* alike = nullptr;
  std::size_t apartInTime = 0;
  double made = 0, shares = 0;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const Piece& other = pieces[k];
    if (k == j || other.state == Piece::Waiting || other.picture < 0 || other.request <= 0) continue;
    made += other.picture * common / other.request;
    shares += other.share;
    if (piece.firstPerFrame <= 0 || other.share <= 0) continue;
    if (std::fabs(other.firstPerFrame / piece.firstPerFrame - 1) > 0.15) continue;
    const std::size_t apart = k < j ? j - k : k - j;
    if (alike == nullptr || apart < apartInTime) alike = &other, apartInTime = apart;
  }
  if (alike != nullptr) return landing(*alike, alike->request, alike->picture);
  return shares > 0 ? made / shares : 1.0;
}

namespace {

// How a piece's size follows its request from its own runs: as its two last runs did (a noisy
// picture's size moved 1.2 times as much as its request, an easy one's a quarter as much),
// between a fifth and twice; from one run, less is taken to come as bitrate^0.6 (an easy
// picture made 8% less of 15% less request), so that it rather lands under than over its goal
// (the trailing segment makes up a shortfall more easily), and more alike.
double Power(const Piece& piece, double now, double before) {
  if (piece.earlierRequest > 0 && piece.earlierPicture > 0 &&
      std::fabs(std::log(piece.lastRequest / piece.earlierRequest)) > 0.01) {
    return std::clamp(std::log(piece.lastPicture / piece.earlierPicture) / std::log(piece.lastRequest / piece.earlierRequest),
                      0.2, 2.0);
  }
  return now < before ? 0.6 : 1.0;
}

}  // namespace

double PieceExpected(const std::vector<Piece>& pieces, std::size_t j, double common, double request) {
  const Piece& piece = pieces[j];
  if (piece.lastRequest > 0 && piece.lastPicture > 0) {
    return piece.lastPicture * std::pow(request / piece.lastRequest, Power(piece, request, piece.lastRequest));
  }
  return piece.share * PieceLanding(pieces, j, common) * request / common;
}

double PieceRequest(const std::vector<Piece>& pieces, std::size_t j, double common, double extra, double least,
                    double most) {
  double missed = -extra, waiting = 0;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    const Piece& piece = pieces[k];
    if (piece.state == Piece::Waiting) waiting += piece.share;
    else missed += (piece.picture >= 0 ? piece.picture : PieceExpected(pieces, k, common, piece.request)) - piece.share;
  }
  const double wanted = std::clamp(1 - missed / std::max(waiting, 1.0), least, most) * pieces[j].share;
  const Piece& piece = pieces[j];
  if (piece.lastRequest > 0 && piece.lastPicture > 0) {
    return piece.lastRequest * std::pow(wanted / piece.lastPicture, 1 / Power(piece, wanted, piece.lastPicture));
  }
  return common * wanted / std::max(piece.share * PieceLanding(pieces, j, common), 1.0);
}

double OnCourse(const MainCourse& course) {
  const double rest = course.share - course.doneShare;
  if (course.doneShare <= 0 || course.made <= course.doneShare || course.donePerFrame <= 0) {
    return course.made + rest;
  }
  const bool alike = std::fabs(course.restPerFrame / course.donePerFrame - 1) <= 0.15;
  return course.made + rest * (alike ? course.made / course.doneShare : 1);
}

Landed LandTrailing(std::vector<Try> tries, long long medium, double bestBitrate, bool atBest, int maxEncodes,
                    const std::function<long long(double)>& encode, const std::function<void()>& again) {
  constexpr double kLeast = 1000;
  Landed result;
  const double aim = static_cast<double>(AimedTotal(medium));
  // No request lands: the most a measured try gave under the medium goes with the verdict.
  auto missed = [&](long long total) {
    Landed landed{Landed::Missed, total};
    for (const Try& t : tries) {
      if (t.bitrate > 0 && t.bytes < static_cast<double>(medium)) landed.under = std::max(landed.under, std::llround(t.bytes));
    }
    return landed;
  };
  for (int n = 0; n < maxEncodes; ++n) {
    // A title too small for the medium is made at its best, unless even that is too large.
    double request = atBest && n == 0 ? bestBitrate : std::clamp(NextRequest(tries, aim), kLeast, bestBitrate);
    // Once one request came out under the medium and a larger one over it, the aim lies between
    // them: the next request is taken between the two by their line, or halfway when the line
    // runs close to either end or the last two tries fell on the same side (a response with
    // flat stretches and steps, as a short segment's is, misleads the line).
    double low = -1, high = -1, lowBytes = 0, highBytes = 0;
    for (const Try& t : tries) {
      if (t.bitrate <= 0) continue;  // the total with no picture is foreseen, not measured
      if (t.bytes < static_cast<double>(medium) && t.bitrate > low) low = t.bitrate, lowBytes = t.bytes;
      if (t.bytes > static_cast<double>(medium) && (high < 0 || t.bitrate < high)) high = t.bitrate, highBytes = t.bytes;
    }
    const std::size_t known = tries.size();
    // A request under and one over the medium a hair apart: the response steps over the whole
    // window there (a frame's quantizer turning), and no request between them can land.
    if (low > 0 && high > low && high - low <= 0.002 * high) return missed(std::llround(tries.back().bytes));
    if (!(atBest && n == 0) && low > 0 && high > low && highBytes > lowBytes) {
      const double margin = 0.1 * (high - low);
      const bool sameSide = known >= 2 && (tries[known - 1].bytes < static_cast<double>(medium)) ==
                                              (tries[known - 2].bytes < static_cast<double>(medium));
      request = low + (aim - lowBytes) * (high - low) / (highBytes - lowBytes);
      if (sameSide || request < low + margin || request > high - margin) request = (low + high) / 2;
    } else if (known >= 2 && tries[known - 1].bytes == tries[known - 2].bytes &&
               tries[known - 1].bitrate != tries[known - 2].bitrate) {
      // No response to a changed request and nothing on the other side yet: the encoder is at
      // an end of its range; try that end.
      request = tries.back().bytes < aim ? bestBitrate : kLeast;
    }
    // Measured at that end already: encoding it again would make the same.
    if (!atBest && !tries.empty() && tries.back().bitrate == request && (request >= bestBitrate || request <= kLeast)) {
      const double total = tries.back().bytes;
      if ((total < static_cast<double>(medium)) == (request >= bestBitrate) && !FillsMedium(std::llround(total), medium)) {
        return {Landed::NeedsMain, std::llround(total)};
      }
    }
    if (n > 0) again();
    result.total = encode(request);
    if (result.total < 0) return {Landed::Error, result.total};
    if (FillsMedium(result.total, medium)) return {Landed::Fills, result.total};
    if (atBest && result.total <= medium) return {Landed::AtBest, result.total};
    const bool under = result.total < medium;
    if ((under && request >= bestBitrate) || (!under && request <= kLeast)) return {Landed::NeedsMain, result.total};
    tries.push_back({request, static_cast<double>(result.total)});
  }
  return missed(result.total);
}

}  // namespace videopass
