#include "vob_set.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ifoscan {
namespace {

constexpr int kMaxVobFiles = 9;

bool SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

std::int64_t FileSize(std::FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  return _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  return ftello(file);
#endif
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

VobSet::~VobSet() {
  for (Part& part : parts_)
    if (part.file) std::fclose(part.file);
}

std::string VobSet::VobPath(int number) const { return stem_ + std::to_string(number) + extension_; }

std::string VobSet::Open(const std::string& ifoPath) {
  if (!EndsWithNoCase(ifoPath, "_0.IFO") && !EndsWithNoCase(ifoPath, "_0.BUP"))
    return "not a title set IFO name (VTS_nn_0.IFO): its VOB files cannot be found";
  stem_ = ifoPath.substr(0, ifoPath.size() - 5);
  extension_ = ifoPath.back() >= 'a' ? ".vob" : ".VOB";

  std::uint64_t next = 0;
  for (int number = 1; number <= kMaxVobFiles; ++number) {
    Part part;
    part.path = VobPath(number);
    part.file = std::fopen(part.path.c_str(), "rb");
    if (!part.file) break;
    // Reads are whole chunks into our own buffer: a stdio buffer would only add a copy.
    std::setvbuf(part.file, nullptr, _IONBF, 0);
    const std::int64_t size = FileSize(part.file);
    if (size < 0) {
      std::fclose(part.file);
      return part.path + ": cannot be read";
    }
    part.firstSector = next;
    part.sectors = static_cast<std::uint64_t>(size) / kSectorSize;
    next += part.sectors;
    parts_.push_back(part);
  }
  if (parts_.empty()) return VobPath(1) + ": cannot open (" + std::strerror(errno) + "); the title set has no VOB files";
  return {};
}

std::string VobSet::CheckRange(SectorRange range) const {
  const Part& last = parts_.back();
  const std::uint64_t end = last.firstSector + last.sectors;
  if (range.last < end) return {};
  const std::string needs = "sectors " + std::to_string(range.first) + " to " + std::to_string(range.last);
  if (parts_.size() < kMaxVobFiles && range.last >= end)
    return BaseName(VobPath(static_cast<int>(parts_.size()) + 1)) + " is missing (" + BaseName(last.path) +
           " ends at sector " + std::to_string(end) + "; the chain needs " + needs + ")";
  return BaseName(last.path) + " is short: the VOB files end at sector " + std::to_string(end) + ", the chain needs " +
         needs;
}

bool VobSet::Read(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, std::string& error) {
  std::uint8_t* const start = buffer;
  const std::uint32_t wanted = count;
  for (Part& part : parts_) {
    if (count == 0) break;
    if (sector < part.firstSector || sector >= part.firstSector + part.sectors) continue;
    const auto here = static_cast<std::uint32_t>(std::min<std::uint64_t>(count, part.firstSector + part.sectors - sector));
    const std::size_t bytes = std::size_t{here} * kSectorSize;
    const std::uint64_t offset = (sector - part.firstSector) * kSectorSize;
    const bool seekOk = offset == part.position || SeekTo(part.file, offset);
    part.position = ~std::uint64_t{0};
    if (!seekOk || std::fread(buffer, 1, bytes, part.file) != bytes) {
      error = part.path + ": cannot read sector " + std::to_string(sector - part.firstSector) +
              (std::ferror(part.file) ? std::string(" (") + std::strerror(errno) + ")" : " (the file ended early)");
      return false;
    }
    part.position = offset + bytes;
    buffer += bytes;
    sector += here;
    count -= here;
  }
  if (count == 0) {
    if (!HoldsScrambledSector(start, wanted)) return true;
    error = ScrambledMessage();
    return false;
  }
  error = "sector " + std::to_string(sector) + " lies beyond the VOB files";
  return false;
}

}  // namespace ifoscan
