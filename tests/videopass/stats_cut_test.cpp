// The end of an H.265 title made again on its own takes the first pass's statistics of its
// frames alone, numbered from 0, and the cu-tree records of those other frames refer to.
#include <gtest/gtest.h>

#include <string>

#include "videopass/one_file.h"
#include "videopass/options.h"
#include "videopass/stats_cut.h"

namespace videopass {
namespace {

// A frame's line as x265 writes it.
std::string Line(int shown, int coded, char type) {
  return "in:" + std::to_string(shown) + " out:" + std::to_string(coded) + " type:" + type +
         " q:30.00 tex:100 mv:10 misc:5 ;\n";
}

// Cu-tree records of 3 bytes, each its frame's coded number and type.
std::string Records(const std::string& lines) {
  std::string records;
  for (std::size_t at = lines.find("out:"); at != std::string::npos; at = lines.find("out:", at + 1)) {
    const char type = lines[lines.find("type:", at) + 5];
    if (type != 'b') records += std::string{static_cast<char>('0' + std::stoi(lines.substr(at + 4))), type, ';'};
  }
  return records;
}

TEST(StatsCut, TheFramesFromAClosedKeyFrameOnNumberedFromZero) {
  const std::string head = "#options: bframes=4 keyint=250\n";
  // Frames 0-3 coded I P b b (shown 0 3 1 2), then an IDR at 4 and b 5 after P 6.
  const std::string closed = Line(0, 0, 'I') + Line(3, 1, 'P') + Line(1, 2, 'b') + Line(2, 3, 'B') +
                             Line(4, 4, 'I') + Line(6, 5, 'P') + Line(5, 6, 'b');
  const struct {
    const char* what;
    std::string text, cutree;
    long first;
    std::string tailText, tailCutree, why;  // why: in the refusal, "" when cut
  } rows[] = {
      {"cut at the IDR", head + closed, Records(closed), 4,
       head + Line(0, 0, 'I') + Line(2, 1, 'P') + Line(1, 2, 'b'), "4I;5P;", ""},
      {"cut at the first frame keeps all", head + closed, Records(closed), 0, head + closed, Records(closed), ""},
      // An open key frame: a frame shown before it is coded after it.
      {"an open key frame", head + Line(0, 0, 'I') + Line(2, 1, 'I') + Line(1, 2, 'b'), "0I;1I;", 2, "", "",
       "frame 2 is no key frame"},
      {"no frame from the cut on", head + closed, Records(closed), 7, "", "", "none from frame 7"},
      {"records of another size", head + closed, Records(closed) + "x", 4, "", "", "do not fit its 5"},
      {"a damaged line", head + Line(0, 0, 'I') + "in:1 type:P\n", "0I;1P;", 1, "", "", "line 2"},
      {"no options line", closed, Records(closed), 4, "", "", "the statistics hold"},
  };
  for (const auto& row : rows) {
    std::string text, cutree;
    const std::string why = CutStatsFrom(row.text, row.cutree, row.first, text, cutree);
    if (row.why[0] == '\0') {
      EXPECT_EQ(why, "") << row.what;
      EXPECT_EQ(text, row.tailText) << row.what;
      EXPECT_EQ(cutree, row.tailCutree) << row.what;
    } else {
      EXPECT_NE(why.find(row.why), std::string::npos) << row.what << ": " << why;
    }
  }
}

// Where the first pass of H.265 puts the key frame the end is made from: near 85% of the frames,
// on x265's own key frame every 250 frames when one lies near, so that it adds no picture.
TEST(StatsCut, TheEndsKeyFrameLiesWhereX265PutsOneWhenItCan) {
  const struct {
    const char* codec;
    double seconds, fps;
    long frame;
  } rows[] = {
      {"hevc", 60, 25, 1250},      // 1500 frames: 83%
      {"hevc", 12, 25, 250},       // 300 frames: 83%
      {"hevc", 20, 25, 425},       // 500 frames: 250 would be half the title, 500 the end
      {"hevc", 7200, 25, 153000},  // a film: 85% lies on the interval
      {"hevc", 3, 25, 0},          // too short to part
      {"h264", 60, 25, 0},         // x264 keeps to its rate tolerance: one part
  };
  for (const auto& row : rows) {
    Options options;
    options.codec = row.codec;
    options.duration = row.seconds;
    EXPECT_EQ(TailFrame(options, row.fps), row.frame) << row.codec << " " << row.seconds << " s";
  }
}

}  // namespace
}  // namespace videopass
