#pragma once
// Builds 2048-byte program stream packs for the title reader's tests.

#include <array>
#include <cstdint>
#include <vector>

#include "mpeg_pack.h"

namespace vobtitle_test {

using Pack = std::array<std::uint8_t, 2048>;

// A pack header, then the given PES packets back to back, then padding.
class PackBuilder {
 public:
  explicit PackBuilder(std::int64_t scr = 0) { vobtitle::PutPackHeader(pack_.data(), scr); }

  // Private stream 1 packet with a sub-stream id, optional PTS, `size` payload bytes.
  PackBuilder& Private1(int subStream, std::size_t size, std::int64_t pts = -1, std::uint8_t fill = 0x5A) {
    Header(0xBD, 3 + (pts >= 0 ? 5 : 0) + 1 + size);
    Put(0x81), Put(pts >= 0 ? 0x80 : 0x00), Put(pts >= 0 ? 5 : 0);
    if (pts >= 0) Timestamp(2, pts);
    Put(static_cast<std::uint8_t>(subStream));
    for (std::size_t i = 0; i < size; ++i) Put(fill);
    return *this;
  }

  // Video packet with PTS and DTS.
  PackBuilder& Video(std::int64_t pts, std::int64_t dts, std::size_t size) {
    Header(0xE0, 3 + 10 + size);
    Put(0x81), Put(0xC0), Put(10);
    Timestamp(3, pts), Timestamp(1, dts);
    for (std::size_t i = 0; i < size; ++i) Put(0);
    return *this;
  }

  // A whole navigation pack: a system header, the presentation control packet with the unit's
  // start time, the search information with the unit's end and the next unit (relative).
  PackBuilder& Navigation(std::uint32_t startPts, std::uint32_t unitEnd = 0, std::uint32_t nextUnit = 0xBFFFFFFF) {
    Header(0xBB, 18);
    for (int i = 0; i < 18; ++i) Put(0);
    Header(0xBF, 0x3D4);
    Put(0x00);  // presentation control
    for (int i = 0; i < 12; ++i) Put(0);
    U32(startPts);
    for (int i = 17; i < 0x3D4; ++i) Put(0);
    Header(0xBF, 0x3FA);
    Put(0x01);  // search information
    for (int i = 0; i < 8; ++i) Put(0);
    U32(unitEnd);
    for (int i = 13; i < 0x13B; ++i) Put(0);
    U32(nextUnit);
    while (at_ < pack_.size()) Put(0);
    return *this;
  }

  Pack Build() {
    Pack pack = pack_;
    // Fewer than six bytes left cannot hold a padding packet; they stay zero.
    if (at_ + 6 <= pack.size()) {
      const std::size_t rest = pack.size() - at_;
      pack[at_ + 2] = 1, pack[at_ + 3] = 0xBE;
      pack[at_ + 4] = static_cast<std::uint8_t>((rest - 6) >> 8), pack[at_ + 5] = static_cast<std::uint8_t>(rest - 6);
    }
    return pack;
  }

  std::size_t Used() const { return at_; }

 private:
  void Put(std::uint8_t value) { pack_[at_++] = value; }
  void U32(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) Put(static_cast<std::uint8_t>(v >> shift));
  }
  void Header(int stream, std::size_t length) {
    Put(0), Put(0), Put(1), Put(static_cast<std::uint8_t>(stream));
    Put(static_cast<std::uint8_t>(length >> 8)), Put(static_cast<std::uint8_t>(length));
  }
  void Timestamp(int prefix, std::int64_t ticks) {
    vobtitle::PutTimestamp(pack_.data() + at_, prefix, ticks);
    at_ += 5;
  }

  Pack pack_{};
  std::size_t at_ = 14;
};

}  // namespace vobtitle_test
