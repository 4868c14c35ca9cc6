#include "dvdread_source.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dvdread/dvd_reader.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "child_source.h"
#include "ifo_parser.h"

namespace ifoscan {
namespace {

// Title set IFOs are a few hundred KB at most; anything far larger is not one.
constexpr ssize_t kMaxIfoSectors = 64 * 1024 * 1024 / kSectorSize;
constexpr int kMaxTitleSets = 99;

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

// The entry of folder whose name is name in any case; empty when there is none.
std::string EntryNoCase(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return {};
  std::string found;
  while (const dirent* entry = readdir(dir)) {
    if (SameNoCase(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(dir);
  return found;
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string TitleSetName(int titleSet, const char* extension) {
  char name[16];
  std::snprintf(name, sizeof name, "VTS_%02d_0.%s", titleSet, extension);
  return name;
}

// libdvdread reports through this; its last error completes ours, nothing goes to the terminal.
void Log(void* last, dvd_logger_level_t level, const char* format, va_list args) {
  if (level != DVD_LOGGER_LEVEL_ERROR) return;
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  *static_cast<std::string*>(last) = text;
}

class DvdReadVobs : public TitleVobs {
 public:
  DvdReadVobs(dvd_file_t* file, std::uint64_t sectors) : file_(file), sectors_(sectors) {}
  ~DvdReadVobs() override { DVDCloseFile(file_); }

  std::string CheckRange(SectorRange range) const override {
    if (range.last < sectors_) return {};
    return "the title VOBs end at sector " + std::to_string(sectors_) + ", the chain needs sectors " +
           std::to_string(range.first) + " to " + std::to_string(range.last);
  }

  bool Read(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, std::string& error) override {
    if (sector + count > sectors_) {
      error = "sector " + std::to_string(sector + count - 1) + " lies beyond the title VOBs";
      return false;
    }
    const ssize_t got = DVDReadBlocks(file_, static_cast<int>(sector), count, buffer);
    if (got != static_cast<ssize_t>(count)) {
      error = "cannot read sectors " + std::to_string(sector) + " to " + std::to_string(sector + count - 1) +
              " of the title VOBs";
      return false;
    }
    if (!HoldsScrambledSector(buffer, count)) return true;
    error = ScrambledMessage();
    return false;
  }

 private:
  dvd_file_t* file_;
  std::uint64_t sectors_;
};

class DvdReadSource : public DiscSource {
 public:
  DvdReadSource(std::string path, std::string videoTs) : path_(std::move(path)), videoTs_(std::move(videoTs)) {}
  ~DvdReadSource() override {
    if (dvd_) DVDClose(dvd_);
  }

  // Separate from the constructor so that the logger's target has its final address.
  bool Open(std::string& error) {
    static const dvd_logger_cb logger = {Log};
    dvd_ = DVDOpen2(&lastLog_, &logger, path_.c_str());
    if (dvd_) return true;
    error = "libdvdread cannot open it as a disc" + (lastLog_.empty() ? std::string() : " (" + lastLog_ + ")");
    return false;
  }

  // The title set count of VIDEO_TS.IFO; without a readable one (a copy of some title sets
  // only), the title sets there are, from 1 up to the first one missing.
  std::vector<int> TitleSets(std::string& error) override {
    std::vector<std::uint8_t> bytes;
    std::string ignored;
    int count = ReadIfo(0, bytes, ignored) ? TitleSetCount(bytes) : -1;
    if (count < 0) {
      count = 0;
      while (count < kMaxTitleSets && HasTitleSet(count + 1)) ++count;
    }
    std::vector<int> sets;
    for (int n = 1; n <= count && n <= kMaxTitleSets; ++n) sets.push_back(n);
    if (sets.empty()) error = "it holds no DVD-Video title set (no VIDEO_TS folder with VTS_01_0.IFO)";
    return sets;
  }

  bool ReadTitleSetIfo(int titleSet, std::vector<std::uint8_t>& bytes, std::string& error) override {
    return ReadIfo(titleSet, bytes, error);
  }

  std::unique_ptr<TitleVobs> OpenTitleVobs(int titleSet, std::string& error) override {
    dvd_file_t* file = DVDOpenFile(dvd_, titleSet, DVD_READ_TITLE_VOBS);
    const ssize_t sectors = file ? DVDFileSize(file) : -1;
    if (sectors > 0) return std::make_unique<DvdReadVobs>(file, static_cast<std::uint64_t>(sectors));
    if (file) DVDCloseFile(file);
    error = "title set " + std::to_string(titleSet) + " has no title VOB files";
    return nullptr;
  }

  // A folder disc's title set is its IFO file, as the disc names it; one inside an image or
  // drive is named by the path inside the disc.
  std::string TitleSetPath(int titleSet) const override {
    if (videoTs_.empty()) return path_ + "/VIDEO_TS/" + TitleSetName(titleSet, "IFO");
    for (const char* extension : {"IFO", "BUP"}) {
      const std::string name = EntryNoCase(videoTs_, TitleSetName(titleSet, extension));
      if (!name.empty()) return videoTs_ + "/" + name;
    }
    return videoTs_ + "/" + TitleSetName(titleSet, "IFO");
  }

 private:
  bool HasTitleSet(int titleSet) {
    dvd_file_t* file = DVDOpenFile(dvd_, titleSet, DVD_READ_INFO_FILE);
    if (file) DVDCloseFile(file);
    return file != nullptr;
  }

  // The IFO, or its backup copy when the IFO itself cannot be read.
  bool ReadIfo(int titleSet, std::vector<std::uint8_t>& bytes, std::string& error) {
    const std::string name = titleSet == 0 ? std::string("VIDEO_TS.IFO") : TitleSetName(titleSet, "IFO");
    for (dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE}) {
      dvd_file_t* file = DVDOpenFile(dvd_, titleSet, domain);
      if (!file) continue;
      const ssize_t sectors = DVDFileSize(file);
      bool read = sectors > 0 && sectors <= kMaxIfoSectors;
      if (read) {
        bytes.assign(static_cast<std::size_t>(sectors) * kSectorSize, 0);
        read = DVDReadBytes(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
      }
      DVDCloseFile(file);
      if (read) return true;
      error = name + " cannot be read";
    }
    if (error.empty()) error = "the disc has no " + name;
    return false;
  }

  std::string path_;
  std::string videoTs_;  // a folder disc's VIDEO_TS folder; empty for an image or a drive
  std::string lastLog_;
  dvd_reader_t* dvd_ = nullptr;
};

}  // namespace

OpenedSource OpenDvdReadSource(const std::string& given) {
  OpenedSource opened;
  const std::string path = WithoutTrailingSlashes(given);
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    opened.error = std::strerror(errno);
    return opened;
  }
  std::string videoTs;
  if (S_ISDIR(info.st_mode)) {
    const std::size_t slash = path.find_last_of('/');
    if (SameNoCase(path.substr(slash == std::string::npos ? 0 : slash + 1), "VIDEO_TS")) {
      videoTs = path;
    } else {
      const std::string entry = EntryNoCase(path, "VIDEO_TS");
      if (entry.empty()) {
        opened.error = "is a folder without a VIDEO_TS folder: not a disc folder";
        return opened;
      }
      videoTs = path + "/" + entry;
    }
    if (DIR* dir = opendir(videoTs.c_str())) {
      closedir(dir);
    } else {
      opened.error = videoTs + ": " + std::strerror(errno);
      return opened;
    }
  } else {
    // The system's reason for a drive or image that cannot be read (no disc, no permission).
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) {
      opened.error = std::strerror(errno);
      return opened;
    }
    close(fd);
  }

  // libdvdread reads in a child process: a damaged disc may crash it, never the program.
  const char* damaged = !videoTs.empty()       ? "the disc folder is damaged"
                        : S_ISBLK(info.st_mode) ? "the disc is damaged"
                                                : "the image is damaged";
  return OpenInChild(
      [&path, &videoTs] {
        OpenedSource inChild;
        auto source = std::make_unique<DvdReadSource>(path, videoTs);
        if (source->Open(inChild.error)) inChild.source = std::move(source);
        return inChild;
      },
      damaged);
}

}  // namespace ifoscan
