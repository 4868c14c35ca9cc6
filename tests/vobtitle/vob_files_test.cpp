// The VOB files as one address space, and outputs that appear only when complete.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "output_file.h"
#include "pack_builder.h"
#include "title_reader.h"
#include "temp_folder.h"
#include "vob_set.h"

using namespace vobtitle;
using ifoscan::VobSet;
using vobtitle_test::TempFolder;
namespace fs = std::filesystem;

namespace {

// A VOB file of `sectors` sectors, each filled with its number in the address space.
void WriteVob(const std::string& path, int firstSector, int sectors) {
  std::ofstream out(path, std::ios::binary);
  for (int s = 0; s < sectors; ++s) out << std::string(kSectorSize, static_cast<char>(firstSector + s));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sector numbers seen by ReadRanges, one per sector, with the range each came from.
std::vector<std::pair<int, std::size_t>> Walk(VobSet& vobs, const std::vector<SectorRange>& ranges, std::string& error) {
  std::vector<std::pair<int, std::size_t>> seen;
  ReadRanges(
      vobs, ranges,
      [&](std::uint8_t* data, std::uint32_t sectors, std::size_t range) {
        for (std::uint32_t s = 0; s < sectors; ++s) seen.emplace_back(data[s * kSectorSize], range);
        return true;
      },
      error);
  return seen;
}

}  // namespace

TEST(VobSet, CellsCrossFromOneFileIntoTheNext) {
  TempFolder dir;
  WriteVob(dir / "VTS_03_1.VOB", 0, 3);
  WriteVob(dir / "VTS_03_2.VOB", 3, 300);  // longer than one read: chunks within a range
  WriteVob(dir / "VTS_03_4.VOB", 0, 5);    // after a gap: not part of the title set
  VobSet vobs;
  ASSERT_EQ(vobs.Open(dir / "VTS_03_0.IFO"), "");
  EXPECT_EQ(vobs.CheckRange({2, 302}), "");
  std::string error;
  const auto seen = Walk(vobs, {{2, 4}, {0, 0}, {10, 299}}, error);
  EXPECT_EQ(error, "");
  ASSERT_EQ(seen.size(), 3u + 1 + 290);
  EXPECT_EQ(seen[0], std::make_pair(2, std::size_t{0}));
  EXPECT_EQ(seen[1], std::make_pair(3, std::size_t{0}));
  EXPECT_EQ(seen[2], std::make_pair(4, std::size_t{0}));
  EXPECT_EQ(seen[3], std::make_pair(0, std::size_t{1}));
  EXPECT_EQ(seen[4], std::make_pair(10, std::size_t{2}));
  EXPECT_EQ(seen.back(), std::make_pair(static_cast<int>(static_cast<std::uint8_t>(299)), std::size_t{2}));

  const std::string missing = vobs.CheckRange({300, 303});
  EXPECT_NE(missing.find("VTS_03_3.VOB is missing"), std::string::npos) << missing;
  EXPECT_NE(missing.find("ends at sector 303"), std::string::npos) << missing;
}

TEST(VobSet, NamesFollowTheIfoAndProblemsNameTheFile) {
  TempFolder dir;
  WriteVob(dir / "vts_01_1.vob", 0, 2);
  VobSet lower;
  EXPECT_EQ(lower.Open(dir / "vts_01_0.ifo"), "");
  EXPECT_EQ(lower.CheckRange({0, 1}), "");
  VobSet backup;
  EXPECT_EQ(backup.Open(dir / "vts_01_0.bup"), "");

  VobSet none;
  const std::string noVobs = none.Open(dir / "VTS_02_0.IFO");
  EXPECT_NE(noVobs.find("VTS_02_1.VOB"), std::string::npos) << noVobs;
  VobSet wrongName;
  EXPECT_NE(wrongName.Open(dir / "VIDEO_TS.IFO"), "");

  // A file that ends inside a read: the error names it.
  std::ofstream(dir / "VTS_05_1.VOB", std::ios::binary) << std::string(kSectorSize * 2 + 100, 'x');
  VobSet shortSet;
  ASSERT_EQ(shortSet.Open(dir / "VTS_05_0.IFO"), "");
  EXPECT_NE(shortSet.CheckRange({0, 2}), "");  // the partial sector does not count
  std::string error;
  std::uint8_t buffer[3 * kSectorSize];
  EXPECT_FALSE(shortSet.Read(1, 2, buffer, error));
  EXPECT_NE(error, "");
}

// Sectors still scrambled by a disc's copy protection: read plainly, they are refused with a
// plain reason; the navigation pack and an unscrambled packet are not mistaken for them.
TEST(VobSet, AScrambledSectorIsRefusedAsEncrypted) {
  using vobtitle_test::PackBuilder;
  vobtitle_test::Pack video = PackBuilder().Video(90000, 87000, 100).Build();
  vobtitle_test::Pack scrambled = video;
  scrambled[14 + 6] |= 0x10;  // the first packet's PES scrambling control
  vobtitle_test::Pack navigation = PackBuilder().Navigation(0).Build();
  EXPECT_FALSE(ifoscan::HoldsScrambledSector(video.data(), 1));
  EXPECT_FALSE(ifoscan::HoldsScrambledSector(navigation.data(), 1));
  EXPECT_TRUE(ifoscan::HoldsScrambledSector(scrambled.data(), 1));

  TempFolder dir;
  {
    std::ofstream out(dir / "VTS_01_1.VOB", std::ios::binary);
    for (const vobtitle_test::Pack* pack : {&navigation, &video, &scrambled})
      out.write(reinterpret_cast<const char*>(pack->data()), pack->size());
  }
  VobSet vobs;
  ASSERT_EQ(vobs.Open(dir / "VTS_01_0.IFO"), "");
  std::uint8_t buffer[3 * kSectorSize];
  std::string error;
  EXPECT_TRUE(vobs.Read(0, 2, buffer, error)) << error;
  EXPECT_FALSE(vobs.Read(1, 2, buffer, error));
  EXPECT_NE(error.find("the title is encrypted"), std::string::npos) << error;
}

TEST(OutputFile, AppearsOnlyWhenCommitted) {
  TempFolder dir;
  const std::string path = dir / "out.mpg";
  std::ofstream(path) << "old";
  std::string error;
  {
    OutputFile abandoned;
    ASSERT_TRUE(abandoned.Open(path, error)) << error;
    ASSERT_TRUE(abandoned.Write("new", 3, error));
  }
  EXPECT_EQ(ReadFile(path), "old");
  EXPECT_FALSE(fs::exists(path + ".part"));

  OutputFile done;
  ASSERT_TRUE(done.Open(path, error)) << error;
  ASSERT_TRUE(done.Write("new data", 8, error));
  EXPECT_EQ(done.Position(), 8u);
  ASSERT_TRUE(done.Commit(error)) << error;
  EXPECT_EQ(ReadFile(path), "new data");
  EXPECT_FALSE(fs::exists(path + ".part"));

  OutputFile nowhere;
  EXPECT_FALSE(nowhere.Open(dir / "no folder/out.mpg", error));
  EXPECT_NE(error.find("no folder"), std::string::npos) << error;
}

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

// What comes through a FIFO, read without blocking: a writer that never comes (the FIFO
// replaced by a file) ends the wait after a few seconds instead of hanging the test.
std::string ReadFifo(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) return "cannot open";
  std::string data;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  char buffer[256];
  while (std::chrono::steady_clock::now() < deadline) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) data.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 && !data.empty()) break;  // the writer is done
    else std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::close(fd);
  return data;
}

// A FIFO, a device or a symbolic link as the output: written through, never replaced by a
// regular file; a link keeps pointing where it pointed, and only its target is replaced.
TEST(OutputFile, WritesThroughToAFifoADeviceAndALinksTarget) {
  TempFolder dir;
  fs::create_directories(dir / "real");
  std::ofstream(dir / "real/old.mpg") << "old";
  fs::create_symlink("real/old.mpg", dir / "relative.mpg");
  fs::create_symlink(dir / "real/missing.mpg", dir / "dangling.mpg");
  fs::create_symlink("/dev/null", dir / "null.mpg");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  fs::create_symlink(dir / "pipe", dir / "to-pipe.mpg");

  struct Case {
    std::string path;        // written to
    std::string landsIn;     // where the data must arrive: a file read afterwards, or a FIFO
    fs::file_type stays;     // what `path` itself must still be afterwards
  };
  const Case cases[] = {
      {dir / "relative.mpg", dir / "real/old.mpg", fs::file_type::symlink},
      {dir / "dangling.mpg", dir / "real/missing.mpg", fs::file_type::symlink},
      {dir / "null.mpg", "", fs::file_type::symlink},
      {dir / "pipe", dir / "pipe", fs::file_type::fifo},
      {dir / "to-pipe.mpg", dir / "pipe", fs::file_type::symlink},
  };
  for (const Case& c : cases) {
    const bool fifo = !c.landsIn.empty() && fs::is_fifo(c.landsIn);
    // A FIFO needs its reader before the writer can open it.
    std::future<std::string> reader;
    if (fifo) {
      reader = std::async(std::launch::async, [&c] { return ReadFifo(c.landsIn); });
    }
    std::string error;
    OutputFile out;
    ASSERT_TRUE(out.Open(c.path, error)) << c.path << ": " << error;
    ASSERT_TRUE(out.Write("new data", 8, error)) << error;
    ASSERT_TRUE(out.Commit(error)) << c.path << ": " << error;
    if (fifo) {
      EXPECT_EQ(reader.get(), "new data") << c.path;
    } else if (!c.landsIn.empty()) {
      EXPECT_EQ(ReadFile(c.landsIn), "new data") << c.path;
      EXPECT_FALSE(fs::exists(c.landsIn + ".part")) << c.path;
    }
    EXPECT_EQ(fs::symlink_status(c.path).type(), c.stays) << c.path;
    EXPECT_FALSE(fs::exists(c.path + ".part")) << c.path;
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_TRUE(fs::is_fifo(dir / "pipe"));

  // An abandoned write leaves a link's target as it was.
  {
    std::string error;
    OutputFile abandoned;
    ASSERT_TRUE(abandoned.Open(dir / "relative.mpg", error)) << error;
    ASSERT_TRUE(abandoned.Write("half", 4, error));
  }
  EXPECT_EQ(ReadFile(dir / "real/old.mpg"), "new data");
  EXPECT_FALSE(fs::exists(dir / "real/old.mpg.part"));
}

}  // namespace
#endif
