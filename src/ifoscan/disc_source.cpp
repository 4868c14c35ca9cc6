#include "disc_source.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ifo_file.h"
#include "vob_set.h"
#ifdef RAVLO_DVDREAD
#include "dvdread_source.h"
#endif

namespace ifoscan {
namespace {


// nn of a name VTS_nn_0.IFO (or .BUP); 0 for a name of another form.
int NumberOfName(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathSeparators);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() != 12 || (!EndsWithNoCase(name, "_0.IFO") && !EndsWithNoCase(name, "_0.BUP"))) return 0;
  if (!EndsWithNoCase(name.substr(0, 4), "VTS_")) return 0;
  const char tens = name[4], ones = name[5];
  if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return 0;
  return (tens - '0') * 10 + (ones - '0');
}

// A title set's IFO file with its VOB files beside it: the way every build reads a title set.
class IfoFileSource : public DiscSource {
 public:
  // A file of another name counts as title set 1; its VOB files cannot be found anyway.
  explicit IfoFileSource(std::string path) : path_(std::move(path)), number_(std::max(1, NumberOfName(path_))) {}

  std::vector<int> TitleSets(std::string&) override { return {number_}; }
  bool ReadTitleSetIfo(int, std::vector<std::uint8_t>& bytes, std::string& error) override {
    return ReadIfoFile(path_.c_str(), bytes, error);
  }
  std::unique_ptr<TitleVobs> OpenTitleVobs(int, std::string& error) override {
    auto vobs = std::make_unique<VobSet>();
    error = vobs->Open(path_);
    if (!error.empty()) return nullptr;
    return vobs;
  }
  std::string TitleSetPath(int) const override { return path_; }

 private:
  std::string path_;
  int number_;
};

OpenedSource IfoFile(const std::string& path) {
  OpenedSource opened;
  opened.source = std::make_unique<IfoFileSource>(path);
  opened.titleSet = std::max(1, NumberOfName(path));
  return opened;
}

}  // namespace

#ifdef RAVLO_DVDREAD

namespace {

bool IsImageOrDrive(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
}

}  // namespace

OpenedSource OpenSource(const std::string& path) {
  if (EndsWithNoCase(path, ".IFO") || EndsWithNoCase(path, ".BUP")) {
    // IMAGE/VIDEO_TS/VTS_nn_0.IFO: a title set inside an image or drive, as TitleSetPath
    // names it. A file of that name that exists is read as it is.
    constexpr std::size_t kInside = sizeof "/VIDEO_TS/VTS_nn_0.IFO" - 1;
    struct stat info;
    const int number = NumberOfName(path);
    if (number > 0 && path.size() > kInside && EndsWithNoCase(path, ".IFO") && stat(path.c_str(), &info) != 0) {
      const std::string image = path.substr(0, path.size() - kInside);
      if (EndsWithNoCase(path.substr(image.size(), 10), "/VIDEO_TS/") && IsImageOrDrive(image)) {
        OpenedSource opened = OpenDvdReadSource(image);
        if (opened.source) opened.titleSet = number;
        return opened;
      }
    }
    return IfoFile(path);
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return {nullptr, 0, std::strerror(errno)};
  if (!S_ISDIR(info.st_mode) && !S_ISBLK(info.st_mode) && !S_ISREG(info.st_mode))
    return {nullptr, 0, "is neither a title set's IFO, a disc folder, a DVD image nor a drive"};
  return OpenDvdReadSource(path);
}

#else

// This build reads a title set's IFO and the VOB files beside it, whatever the path names.
OpenedSource OpenSource(const std::string& path) { return IfoFile(path); }

#endif

bool HoldsScrambledSector(const std::uint8_t* sectors, std::uint32_t count) {
  for (std::uint32_t s = 0; s < count; ++s) {
    const std::uint8_t* pack = sectors + std::size_t{s} * kSectorSize;
    if (pack[0] != 0 || pack[1] != 0 || pack[2] != 1 || pack[3] != 0xBA) continue;
    // The first packet after the pack header and its stuffing. The navigation pack's system
    // header and private stream 2 carry no scrambling bits.
    const std::size_t at = 14 + (pack[13] & 7);
    if (pack[at] != 0 || pack[at + 1] != 0 || pack[at + 2] != 1) continue;
    const std::uint8_t id = pack[at + 3];
    if (id == 0xBB || id == 0xBE || id == 0xBF) continue;
    if ((pack[at + 6] & 0xC0) == 0x80 && (pack[at + 6] & 0x30) != 0) return true;
  }
  return false;
}

std::string ScrambledMessage() {
  return "the title is encrypted: the disc's copy protection scrambles its sectors, and this "
         "program reads only discs that are not encrypted (it decrypts nothing)";
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char c = text[text.size() - n + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace ifoscan
