// What a segment on another machine takes along: its piece of the source, and how finely the
// title is cut for the machines of a login file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "videopass/encoder_jobs.h"
#include "videopass/remote_jobs.h"
#include "videopass/source_piece.h"

namespace videopass {
namespace {

// 25 frames a second from 0.5 s, a key frame every 12 packets, packet i at byte 5000 * i; one
// packet without a decoding time, one without a place (dropped).
std::string Listing() {
  std::ostringstream text;
  for (int i = 0; i < 300; ++i) {
    char line[64];
    const double t = 0.5 + 0.04 * i;
    if (i == 7) std::snprintf(line, sizeof line, "%.6f,N/A,%d,__\n", t, 5000 * i);
    else std::snprintf(line, sizeof line, "N/A,%.6f,%d,%s\n", t, 5000 * i, i % 12 == 0 ? "K_" : "__");
    text << line;
    if (i == 20) text << "0.600000,0.600000,N/A,K_\n";
  }
  return text.str();
}

TEST(SourcePiece, APieceHoldsThreeKeyFramesBeforeItsFramesAndASecondAfterOnWholePacks) {
  const std::vector<PacketPlace> places = ReadPacketPlaces(Listing());
  ASSERT_EQ(places.size(), 300u);
  EXPECT_DOUBLE_EQ(places[7].seconds, 0.5 + 0.04 * 7);  // its presentation time stands in
  const long long file = 1500000;
  struct Case {
    const char* what;
    double from, to;
    long long begin, end;
  } cases[] = {
      {"the whole title", -1, -1, 0, file},
      {"from the start to 2.01 s: up to packet 76 (3.04 s), its pack included", -1, 2.01, 0, 186 * 2048},
      {"from 4.01 s (packet 101): key frames 96, 84, 72; packet 72's pack on", 4.01, -1, 175 * 2048, file},
      {"both ends: to packet 176 (7.04 s)", 4.01, 6.01, 175 * 2048, 430 * 2048},
      {"fewer than three key frames before: from the file's start", 0.5, -1, 0, file},
      {"an end past the last packet: the file's end", -1, 30, 0, file},
  };
  for (const Case& c : cases) {
    const ByteRange range = PieceRange(places, file, c.from, c.to);
    EXPECT_EQ(range.begin, c.begin) << c.what;
    EXPECT_EQ(range.end, c.end) << c.what;
  }
  EXPECT_EQ(PieceRange({}, file, 3, 4).end, file) << "no packets listed: the whole file";
}

TEST(SourcePiece, ThePieceIsTheRangesBytesAndASourceTooShortIsSaid) {
  const std::string dir = ::testing::TempDir() + "piece_" + std::to_string(getpid());
  const std::string source = dir + ".vob", piece = dir + ".piece.vob";
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += static_cast<char>(i * 7);
  std::ofstream(source, std::ios::binary) << bytes;
  EXPECT_EQ(CutPiece(source, {2048, 6144}, piece), "");
  std::ifstream in(piece, std::ios::binary);
  std::stringstream got;
  got << in.rdbuf();
  EXPECT_EQ(got.str(), bytes.substr(2048, 4096));
  EXPECT_NE(CutPiece(source, {8192, 12288}, piece).find("ended before byte 12288"), std::string::npos);
  std::remove(source.c_str());
  std::remove(piece.c_str());
}

TEST(Nodes, TheLoginFileTellsHowManyJobsRunAtOnce) {
  const struct {
    const char* logins;
    int slots;
  } cases[] = {
      {"1/node1\n1/node2\n", 2},
      {"# machines\n\n  4/user@big\nsmall\n", 5},
      {":\n2/ssh -p 2222 far\n", UsableCores() + 2},
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(NodeSlots(c.logins), c.slots) << c.logins;
  EXPECT_EQ(NodeSsh(nullptr).rfind("ssh -o BatchMode=yes", 0), 0u);
  EXPECT_EQ(NodeSsh("ssh -F cfg").rfind("ssh -F cfg -o", 0), 0u) << "the user's options come first and win";
}

}  // namespace
}  // namespace videopass
