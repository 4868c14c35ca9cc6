#include "videopass/title_share.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>

namespace videopass {
namespace {

constexpr double kQcomp = 0.6;  // x264's and x265's default compression of the quantizer curve

// The quantizer scale of a QP, as both encoders convert them.
double Qscale(double qp) { return 0.85 * std::pow(2.0, (qp - 12) / 6); }

// The frame's bits at quantizer scale q: texture falls a little faster than q rises, motion
// vectors slower, headers not at all.
double BitsAt(const FrameCost& f, double q) {
  const double from = Qscale(f.qp);
  return f.tex * std::pow(from / q, 1.1) + f.mv * std::pow(std::max(from, 1.0) / std::max(q, 1.0), 0.5) + f.misc;
}

// Its complexity: the bits it would take at scale 1.
double Complexity(const FrameCost& f) { return BitsAt(f, 1.0); }

double TitleBits(const std::vector<FrameCost>& frames, double rateFactor) {
  double bits = 0;
  for (const FrameCost& f : frames) bits += BitsAt(f, std::pow(Complexity(f), 1 - kQcomp) / rateFactor);
  return bits;
}

double AllBits(const std::vector<std::vector<FrameCost>>& titles, double rateFactor) {
  double bits = 0;
  for (const auto& frames : titles) bits += TitleBits(frames, rateFactor);
  return bits;
}

bool Value(const std::string& line, const char* key, double& value) {
  const std::size_t at = line.find(std::string(" ") + key + ":");
  if (at == std::string::npos) return false;
  char* end = nullptr;
  const char* start = line.c_str() + at + std::char_traits<char>::length(key) + 2;
  value = std::strtod(start, &end);
  return end != start && std::isfinite(value) && value >= 0;
}

}  // namespace

std::string ReadFrameCosts(const std::string& file, std::vector<FrameCost>& frames) {
  std::ifstream in(file);
  if (!in) return file + " cannot be read: the first pass kept no statistics there";
  frames.clear();
  std::string line;
  long number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    FrameCost f;
    if (line.rfind("in:", 0) != 0 || !Value(line, "q", f.qp) || !Value(line, "tex", f.tex) ||
        !Value(line, "mv", f.mv) || !Value(line, "misc", f.misc) || f.qp > 100) {
      return file + ": line " + std::to_string(number) + " is no frame of a first pass";
    }
    frames.push_back(f);
  }
  if (frames.empty()) return file + " holds no frame: the first pass did not run whole";
  return {};
}

std::vector<double> ShareBits(const std::vector<std::vector<FrameCost>>& titles, double totalBits) {
  std::vector<double> share(titles.size(), 0);
  if (titles.empty() || totalBits <= 0) return share;
  // The bits grow with the rate factor: halve the interval on its logarithm until they match.
  double low = 1e-6, high = 1e6;
  for (int i = 0; i < 200; ++i) {
    const double middle = std::sqrt(low * high);
    (AllBits(titles, middle) < totalBits ? low : high) = middle;
  }
  const double rateFactor = std::sqrt(low * high);
  for (std::size_t i = 0; i < titles.size(); ++i) share[i] = TitleBits(titles[i], rateFactor);
  // The sum is the total to a rounding; the titles keep their proportions exactly.
  const double sum = std::accumulate(share.begin(), share.end(), 0.0);
  if (sum > 0) {
    for (double& bits : share) bits *= totalBits / sum;
  }
  return share;
}

}  // namespace videopass
