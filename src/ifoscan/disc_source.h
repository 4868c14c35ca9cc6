#pragma once
// Where the programs find a title set: the bytes of its IFO for our parser, and its title VOB
// sectors for the title reader. A title set's IFO brings its VOB files beside it, read as
// plain files on every system. The native build also reads whole discs through libdvdread:
// a disc folder (VIDEO_TS or the folder above it), an ISO image or a drive, and a title set
// inside an image or drive named as IMAGE/VIDEO_TS/VTS_nn_0.IFO.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ifoscan {

inline constexpr std::size_t kSectorSize = 2048;

struct SectorRange {
  std::uint32_t first = 0;
  std::uint32_t last = 0;  // inclusive, as in the cell tables
};

// The title VOBs of one title set (VTS_nn_1.VOB on) as one run of sectors, counted as the
// cell tables count them.
class TitleVobs {
 public:
  virtual ~TitleVobs() = default;
  // "" when every sector of range lies in the title VOBs; otherwise what is missing.
  virtual std::string CheckRange(SectorRange range) const = 0;
  // Reads count sectors from sector on. A sector still scrambled by the disc's copy
  // protection is an error: nothing here decrypts.
  virtual bool Read(std::uint64_t sector, std::uint32_t count, std::uint8_t* buffer, std::string& error) = 0;
};

class DiscSource {
 public:
  virtual ~DiscSource() = default;
  // The title set numbers it holds, from 1: all of a disc's; a title set's IFO only its own.
  virtual std::vector<int> TitleSets(std::string& error) = 0;
  virtual bool ReadTitleSetIfo(int titleSet, std::vector<std::uint8_t>& bytes, std::string& error) = 0;
  // The title VOBs read through this source; they must not outlive it.
  virtual std::unique_ptr<TitleVobs> OpenTitleVobs(int titleSet, std::string& error) = 0;
  // The path that names this title set alone, for a later run (the saved project) to open.
  virtual std::string TitleSetPath(int titleSet) const = 0;
  // Why nothing more can be read through this source (its reader crashed on a damaged disc);
  // "" while it can. What was read before is then no answer either.
  virtual std::string Lost() const { return {}; }
};

struct OpenedSource {
  std::unique_ptr<DiscSource> source;
  int titleSet = 0;   // the title set the path named; 0 when it names a whole disc
  std::string error;  // why the path cannot be read, when there is no source
};

// Any file named *.IFO or *.BUP is read as a title set's IFO, as it always was; what else a
// path may name depends on the build (above).
OpenedSource OpenSource(const std::string& path);

// True when a pack in the buffer is an MPEG pack whose first packet is marked scrambled.
bool HoldsScrambledSector(const std::uint8_t* sectors, std::uint32_t count);

// The message for such a sector.
std::string ScrambledMessage();

// Disc file names are upper case, but a copied disc may have lowered them.
bool EndsWithNoCase(const std::string& text, const char* suffix);

// What separates the parts of a path: on POSIX systems a backslash is a character of a name.
#ifdef _WIN32
inline constexpr const char* kPathSeparators = "/\\";
#else
inline constexpr const char* kPathSeparators = "/";
#endif

}  // namespace ifoscan
