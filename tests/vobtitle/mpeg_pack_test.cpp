#include "mpeg_pack.h"

#include <gtest/gtest.h>

#include "pack_builder.h"

using namespace vobtitle;
using namespace vobtitle_test;

namespace {

constexpr std::int64_t kWrap = std::int64_t{1} << 33;

std::vector<PesPacket> Packets(const Pack& pack) {
  std::vector<PesPacket> packets;
  ListPackets(pack.data(), pack.size(), packets);
  return packets;
}

std::int64_t ClockReference(const Pack& pack) {
  const std::uint8_t* p = pack.data();
  return (std::int64_t{(p[4] >> 3) & 7} << 30) | (std::int64_t{p[4] & 3} << 28) | (std::int64_t{p[5]} << 20) |
         (std::int64_t{p[6] >> 3} << 15) | (std::int64_t{p[6] & 3} << 13) | (std::int64_t{p[7]} << 5) | (p[8] >> 3);
}

}  // namespace

TEST(MpegPack, ListsPacketsWithSubStreamsAndTimes) {
  const Pack pack = PackBuilder(1000).Video(93600, 90000, 100).Private1(0x21, 200, 123456789).Private1(0x20, 50).Build();
  const std::vector<PesPacket> packets = Packets(pack);
  ASSERT_EQ(packets.size(), 4u);  // the padding closes the pack
  EXPECT_EQ(packets[0].streamId, 0xE0);
  EXPECT_EQ(packets[0].pts, 93600);
  EXPECT_EQ(packets[1].streamId, 0xBD);
  EXPECT_EQ(packets[1].subStreamId, 0x21);
  EXPECT_EQ(packets[1].pts, 123456789);
  EXPECT_EQ(packets[1].offset + packets[1].size - packets[1].dataOffset, 200u);
  EXPECT_EQ(pack[packets[1].dataOffset], 0x5A);
  EXPECT_EQ(packets[2].subStreamId, 0x20);
  EXPECT_FALSE(packets[2].pts.has_value());
  EXPECT_EQ(packets[3].streamId, 0xBE);
  EXPECT_EQ(packets[3].offset + packets[3].size, pack.size());
}

TEST(MpegPack, DamagedPacksYieldFewerPacketsNeverMore) {
  Pack pack = PackBuilder().Private1(0x20, 100, 9000).Private1(0x21, 100, 9000).Build();
  EXPECT_EQ(Packets(pack).size(), 3u);
  Pack longer = pack;
  longer[14 + 4] = 0xFF;  // the first packet claims to run past the pack
  EXPECT_TRUE(Packets(longer).empty());
  Pack header = pack;
  header[14 + 8] = 0xF0;  // PES header longer than the packet
  EXPECT_TRUE(Packets(header).empty());
  Pack notPack = pack;
  notPack[3] = 0xB9;
  EXPECT_TRUE(Packets(notPack).empty());
  Pack mpeg1 = pack;
  mpeg1[4] = 0x21;
  EXPECT_TRUE(Packets(mpeg1).empty());
}

TEST(MpegPack, NavigationStartTime) {
  EXPECT_EQ(NavigationStartTime(PackBuilder().Navigation(48600).Build().data(), 2048), 48600);
  EXPECT_FALSE(NavigationStartTime(PackBuilder().Private1(0x20, 10, 48600).Build().data(), 2048).has_value());
}

TEST(MpegPack, ShiftTimesMovesClockAndTimeStampsAcrossTheWrap) {
  Pack pack = PackBuilder(kWrap - 1000).Video(kWrap - 500, kWrap - 4100, 64).Private1(0x20, 20, 7).Build();
  const std::uint8_t muxRateAndStuffing[4] = {pack[10], pack[11], pack[12], pack[13]};
  ShiftTimes(pack.data(), pack.size(), 3000);
  const std::vector<PesPacket> packets = Packets(pack);
  ASSERT_EQ(packets.size(), 3u);
  EXPECT_EQ(ClockReference(pack), 2000);
  EXPECT_EQ(packets[0].pts, 2500);
  PackBuilder expectedDts;
  expectedDts.Video(2500, kWrap - 1100, 64);  // DTS moved too, with its own prefix
  const Pack expected = expectedDts.Build();
  EXPECT_TRUE(std::equal(expected.begin() + 14, expected.begin() + 14 + 19, pack.begin() + 14));
  EXPECT_EQ(packets[1].pts, 3007);
  EXPECT_TRUE(std::equal(std::begin(muxRateAndStuffing), std::end(muxRateAndStuffing), pack.begin() + 10));

  ShiftTimes(pack.data(), pack.size(), -3000);
  EXPECT_EQ(ClockReference(pack), kWrap - 1000);
  EXPECT_EQ(Packets(pack)[1].pts, 7);
}

TEST(MpegPack, NavigationLinksToTheNextUnit) {
  const auto links = NavigationLinks(PackBuilder().Navigation(0, 37, 0x80000026).Build().data(), 2048);
  ASSERT_TRUE(links.has_value());
  EXPECT_EQ(links->lastSector, 37u);
  EXPECT_EQ(links->next, 0x26u);  // the flag bits are no part of the address
  const auto last = NavigationLinks(PackBuilder().Navigation(0, 102, 0x3FFFFFFF).Build().data(), 2048);
  ASSERT_TRUE(last.has_value());
  EXPECT_FALSE(last->next.has_value());
  EXPECT_FALSE(NavigationLinks(PackBuilder().Private1(0x20, 10).Build().data(), 2048).has_value());
}
