#include "vobsub.h"

#include <gtest/gtest.h>

#include "pack_builder.h"

using namespace vobtitle;
using namespace vobtitle_test;

namespace {

std::vector<PesPacket> Packets(const std::array<std::uint8_t, 2048>& pack) {
  std::vector<PesPacket> packets;
  ListPackets(pack.data(), pack.size(), packets);
  return packets;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) return lines;  // every line must end in CR LF
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace

TEST(VobSub, SubPackRenumbersRetimesAndPadsToASector) {
  // A VOB pack with video first, then the sub-picture packet.
  const Pack vob = PackBuilder(5000).Video(9000, 5400, 300).Private1(0x23, 700, 990000, 0x77).Build();
  const PesPacket source = Packets(vob)[1];
  const auto out = SubPack(vob.data(), source, 1, 45000);
  const std::vector<PesPacket> packets = Packets(out);
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(packets[0].subStreamId, 0x21);
  EXPECT_EQ(packets[0].pts, 45000);
  EXPECT_EQ(packets[0].offset, 14u);
  const std::size_t data = packets[0].offset + packets[0].size - packets[0].dataOffset;
  ASSERT_EQ(data, 700u);
  EXPECT_TRUE(std::equal(out.begin() + packets[0].dataOffset, out.begin() + packets[0].dataOffset + 700,
                         vob.begin() + source.dataOffset));
  EXPECT_EQ(packets[1].streamId, 0xBE);
  EXPECT_EQ(packets[1].offset + packets[1].size, 2048u);

  // A continuation packet keeps no time stamp.
  const Pack next = PackBuilder().Private1(0x23, 1000).Build();
  const auto cont = SubPack(next.data(), Packets(next)[0], 0, 45000);
  EXPECT_EQ(Packets(cont)[0].subStreamId, 0x20);
  EXPECT_FALSE(Packets(cont)[0].pts.has_value());
}

TEST(VobSub, PacketsThatNearlyFillTheSectorGetHeaderStuffing) {
  // 14 + 9 + 5 + 1 + data: rests of 0 to 7 bytes before padding.
  for (std::size_t rest = 0; rest <= 7; ++rest) {
    const std::size_t data = 2048 - 14 - 15 - rest;
    const Pack vob = PackBuilder().Private1(0x20, data, 1234).Build();
    const auto out = SubPack(vob.data(), Packets(vob)[0], 0, 1234);
    const std::vector<PesPacket> packets = Packets(out);
    ASSERT_FALSE(packets.empty()) << rest;
    EXPECT_EQ(packets[0].pts, 1234) << rest;
    EXPECT_EQ(packets[0].offset + packets[0].size - packets[0].dataOffset, data) << rest;
    EXPECT_EQ(packets.back().offset + packets.back().size, 2048u) << rest;
    EXPECT_EQ(packets.size(), rest >= 6 ? 2u : 1u) << rest;
  }
}

TEST(VobSub, ColoursTimesAndIndex) {
  EXPECT_EQ(RgbHex(0xEB8080), "ffffff");
  EXPECT_EQ(RgbHex(0x108080), "000000");
  EXPECT_EQ(RgbHex(0x51F05A), "fe0000");  // studio-range red, Y rounded down from 81.5
  EXPECT_EQ(RgbHex(0x296EF0), "0000ff");
  EXPECT_EQ(IdxTime(0), "00:00:00:000");
  EXPECT_EQ(IdxTime((3600 + 2 * 60 + 3) * 90000LL + 456 * 90), "01:02:03:456");

  std::array<std::uint32_t, 16> colours{};
  colours.fill(0x108080);
  colours[1] = 0xEB8080;
  std::vector<SubtitleTrack> tracks(2);
  tracks[0].language = "de";
  tracks[0].pictures = {{90000, 0}, {5 * 90000 + 45, 0x1800}};
  const std::vector<std::string> lines = Lines(FormatIdx(720, 576, colours, tracks));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "# VobSub index file, v7 (do not modify this line!)");
  auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
  EXPECT_TRUE(has("size: 720x576"));
  EXPECT_TRUE(has("palette: 000000, ffffff, 000000, 000000, 000000, 000000, 000000, 000000, 000000, 000000, "
                  "000000, 000000, 000000, 000000, 000000, 000000"));
  EXPECT_TRUE(has("langidx: 0"));
  // Tracks in the chosen order; a stream without language is "--"; a track may hold no picture.
  const std::vector<std::string> tail(lines.end() - 6, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"", "id: de, index: 0", "timestamp: 00:00:01:000, filepos: 000000000",
                                            "timestamp: 00:00:05:000, filepos: 000001800", "", "id: --, index: 1"}));
}
