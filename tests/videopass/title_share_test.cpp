// How several titles share one medium: by what their first passes say the pictures need, at one
// quality for all, not by their lengths.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "videopass/title_share.h"

namespace videopass {
namespace {

// A first pass of `frames` frames at quantizer `qp`, each taking `tex` bits of texture.
std::vector<FrameCost> Title(int frames, double tex, double qp = 20) {
  return std::vector<FrameCost>(frames, FrameCost{qp, tex, tex / 10, 200});
}

double Sum(const std::vector<FrameCost>& frames) {
  double bits = 0;
  for (const FrameCost& f : frames) bits += f.tex + f.mv + f.misc;
  return bits;
}

TEST(TitleShare, TheTitlesGetWhatOneQualityForAllTheirFramesTakes) {
  const double total = 8e7;
  const struct {
    const char* what;
    std::vector<std::vector<FrameCost>> titles;
    double lowFirst, highFirst;  // the first title's share of the total
  } rows[] = {
      // Alike pictures: by their frames alone.
      {"alike, 100 and 300 frames", {Title(100, 20000), Title(300, 20000)}, 0.2499, 0.2501},
      // The same picture gauged at another quantizer needs the same.
      {"alike, gauged at 20 and at 30", {Title(200, 20000, 20), Title(200, 20000 * std::pow(2.0, -10.0 / 6 * 1.1), 30)}, 0.48, 0.52},
      // A still picture needs less than a noisy one of the same length, but it is not starved:
      // its share is above its share of the first pass's bits (the simpler picture gets the
      // finer quantizer, as within one title).
      {"still beside noise", {Title(300, 500), Title(300, 50000)}, 0.03, 0.2},
  };
  for (const auto& row : rows) {
    const std::vector<double> bits = ShareBits(row.titles, total);
    ASSERT_EQ(bits.size(), row.titles.size()) << row.what;
    EXPECT_NEAR(std::accumulate(bits.begin(), bits.end(), 0.0), total, 1) << row.what;
    EXPECT_GE(bits[0] / total, row.lowFirst) << row.what;
    EXPECT_LE(bits[0] / total, row.highFirst) << row.what;
  }
  const auto& still = rows[2].titles;
  const std::vector<double> bits = ShareBits(still, total);
  EXPECT_GT(bits[0] / total, Sum(still[0]) / (Sum(still[0]) + Sum(still[1])));
}

TEST(TitleShare, AStatisticsFileIsReadOrRefusedNamingIt) {
  const std::string file = ::testing::TempDir() + "title_share_stats";
  const struct {
    const char* text;
    std::size_t frames;
    const char* error;  // "" when read
  } rows[] = {
      {"#options: 640x360 fps=25/1\n"
       "in:0 out:0 type:I dur:2 cpbdur:2 q:33.43 aq:19.67 tex:23046 mv:2907 misc:5975 imb:300 pmb:0 smb:0 d:- ref:;\n"
       "in:4 out:1 type:P dur:2 cpbdur:2 q:33.42 aq:29.45 tex:12469 mv:841 misc:258 imb:31 pmb:73 smb:196 d:- ref:0 ;\n",
       2, ""},
      {"#options: cpuid=1111039 frame-threads=1\n"
       "in:0 out:0 type:I q:33.43 q-aq:28.64 q-noVbv:33.43 q-Rceq:1.00 tex:26407 mv:3691 misc:367 icu:300.00 sc:0 ;\n",
       1, ""},
      {"#options: 640x360\n", 0, "holds no frame"},
      {"#options: 640x360\nin:0 out:0 type:I q:33.4 tex:nothing mv:1 misc:1\n", 0, ": line 2 is no frame of a first pass"},
      {"in:0 out:0 type:I q:-3 tex:1 mv:1 misc:1\n", 0, ": line 1 is no frame of a first pass"},
  };
  for (const auto& row : rows) {
    std::ofstream(file) << row.text;
    std::vector<FrameCost> frames;
    const std::string error = ReadFrameCosts(file, frames);
    if (*row.error == '\0') {
      EXPECT_EQ(error, "") << row.text;
      EXPECT_EQ(frames.size(), row.frames) << row.text;
    } else {
      EXPECT_NE(error.find(file), std::string::npos) << error;
      EXPECT_NE(error.find(row.error), std::string::npos) << error;
    }
  }
  std::remove(file.c_str());
  std::vector<FrameCost> frames;
  EXPECT_NE(ReadFrameCosts(file, frames).find("cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace videopass
