// vobtitle PATH CHAIN ANGLE --stream OUT
// vobtitle PATH CHAIN ANGLE --vobsub STEM ID...
// vobtitle PATH CHAIN ANGLE --sample OUT FRACTION
// vobtitle PATH CHAIN ANGLE --chapters
//
// Reads one program chain of a DVD title set as a player plays it: the chain's cells in
// program order, for one angle, out of the title set's VOB files. PATH is a title set's IFO
// or, in the native build, a disc (folder, image or drive): then the main feature's title
// set; IMAGE/VIDEO_TS/VTS_nn_0.IFO names title set nn inside an image or drive. --stream writes those
// cells as one MPEG program stream (OUT "-" is standard output); --vobsub writes the chosen
// sub-picture streams as STEM.idx and STEM.sub; --sample writes a megabyte of the stream from
// FRACTION (0 to 1) of the way through the chain, for a look at its picture there; --chapters
// prints each chapter's number and start in seconds from the chain's start. Any problem: a
// message on stderr, a non-zero exit and no output file.

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "chain_playback.h"
#include "disc_source.h"
#include "main_feature.h"
#include "title_reader.h"

namespace {

using namespace vobtitle;

constexpr char kUsage[] =
    "usage: vobtitle PATH CHAIN ANGLE --stream OUT\n"
    "       vobtitle PATH CHAIN ANGLE --vobsub STEM ID...\n"
    "       vobtitle PATH CHAIN ANGLE --sample OUT FRACTION\n"
    "       vobtitle PATH CHAIN ANGLE --chapters\n"
    "  PATH   a title set's VTS_nn_0.IFO (its VOB files lie beside it), or a disc folder,\n"
    "         ISO image or drive (the main feature's title set; IMAGE/VIDEO_TS/VTS_nn_0.IFO\n"
    "         names title set nn of an image or drive)\n"
    "  CHAIN  program chain, from 1;  ANGLE  angle, from 1\n"
    "  OUT    the chain's cells as one MPEG program stream; - for standard output\n"
    "  STEM   writes STEM.idx and STEM.sub; ID  sub-picture stream ids (0x20...), in track order\n"
    "  FRACTION  where the sample starts, from 0 (the chain's start) to 1 (its end)\n"
    "  --chapters  prints a line per chapter: its number and its start in seconds\n";

int Fail(const std::string& what, const std::string& why, int code = 1) {
  std::fprintf(stderr, "vobtitle: %s: %s\n", what.c_str(), why.c_str());
  return code;
}

// A whole number from text; base 0, so "0x21" and "33" both work.
bool ParseNumber(const char* text, long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 0);
  return *text != '\0' && *end == '\0' && errno == 0;
}

struct Request {
  enum class Mode { Stream, VobSub, Sample, Chapters };
  std::string ifoPath;
  long chain = 0;
  long angle = 0;
  Mode mode = Mode::Stream;
  double fraction = 0;  // --sample
  std::string output;  // OUT or STEM
  std::vector<int> streamIds;
};

// Returns "" or why the command line is not one vobtitle takes.
std::string ParseArguments(int argc, char** argv, Request& request) {
  if (argc < 5 || (argc == 5 && std::string(argv[4]) != "--chapters")) return "too few arguments";
  request.ifoPath = argv[1];
  // A title set holds at most 999 chains; angles go to 9.
  if (!ParseNumber(argv[2], request.chain) || request.chain < 1 || request.chain > 999)
    return std::string("CHAIN '") + argv[2] + "' is not a number from 1 to 999";
  if (!ParseNumber(argv[3], request.angle) || request.angle < 1 || request.angle > 9)
    return std::string("ANGLE '") + argv[3] + "' is not a number from 1 to 9";
  const std::string mode = argv[4];
  if (mode == "--chapters") {
    request.mode = Request::Mode::Chapters;
    return argc == 5 ? "" : "--chapters takes no more arguments";
  }
  request.output = argv[5];
  if (mode == "--stream") return argc == 6 ? "" : "--stream takes one output file";
  if (mode == "--sample") {
    request.mode = Request::Mode::Sample;
    if (argc != 7) return "--sample takes an output file and a fraction";
    char* end = nullptr;
    request.fraction = std::strtod(argv[6], &end);
    if (*argv[6] == '\0' || *end != '\0' || !(request.fraction >= 0 && request.fraction <= 1))
      return std::string("FRACTION '") + argv[6] + "' is not a number from 0 to 1";
    return "";
  }
  if (mode != "--vobsub") return "unknown mode '" + mode + "'";
  request.mode = Request::Mode::VobSub;
  if (argc < 7) return "--vobsub needs at least one sub-picture stream id";
  for (int i = 6; i < argc; ++i) {
    long id;
    if (!ParseNumber(argv[i], id) || id < 0x20 || id > 0x3F)
      return std::string("'") + argv[i] + "' is no sub-picture stream id (0x20 to 0x3F)";
    for (int earlier : request.streamIds)
      if (earlier == id) return std::string("stream id ") + argv[i] + " is given twice";
    request.streamIds.push_back(static_cast<int>(id));
  }
  return {};
}

std::string HexId(int id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", id);
  return text;
}

int WriteVobSub(const Request& request, const ifoscan::TitleSet& titleSet, const ifoscan::ProgramChain& chain,
                TitleVobs& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan) {
  std::vector<SubtitleTrack> tracks;
  for (int id : request.streamIds) {
    SubtitleTrack track;
    track.streamId = -1;
    for (const ifoscan::SubpictureStream& stream : titleSet.subpictures)
      if (stream.streamId == id) track.streamId = id, track.language = stream.language;
    if (track.streamId < 0) {
      std::string known;
      for (const ifoscan::SubpictureStream& stream : titleSet.subpictures)
        known += (known.empty() ? "" : ", ") + HexId(stream.streamId);
      return Fail(request.ifoPath, "the title set has no sub-picture stream " + HexId(id) +
                                       (known.empty() ? " (it has none)" : " (it has " + known + ")"));
    }
    tracks.push_back(track);
  }

  std::string error;
  OutputFile sub, idx;
  if (!sub.Open(request.output + ".sub", error) || !idx.Open(request.output + ".idx", error) ||
      !ExtractSubpictures(vobs, cells, plan, tracks, sub, error))
    return Fail("--vobsub", error);
  // A title set of unknown video standard gets the taller (PAL) picture.
  const std::string text = FormatIdx(titleSet.video.width, titleSet.video.height ? titleSet.video.height : 576,
                                     chain.colours, tracks);
  if (!idx.Write(text.data(), text.size(), error) || !sub.Commit(error)) return Fail("--vobsub", error);
  if (!idx.Commit(error)) {
    std::remove((request.output + ".sub").c_str());  // half a pair is no result
    return Fail("--vobsub", error);
  }
  return 0;
}

// Each chapter's start: the playing time of the cells played before its entry cell.
int PrintChapters(const ifoscan::ProgramChain& chain, const std::vector<int>& played) {
  int number = 0;
  for (int entry : chain.programEntryCells) {
    std::int64_t ticks = 0;
    for (int index : played) {
      if (index >= entry - 1) break;
      ticks += chain.cells[index].durationTicks;
    }
    std::printf("%d %.3f\n", ++number, static_cast<double>(ticks) / 90000.0);
  }
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : Fail("--chapters", "standard output cannot be written");
}

// The planned reads from `fraction` of the way through them, `sectors` long (less at the end).
ReadPlan PlanPart(const ReadPlan& plan, double fraction, std::uint32_t sectors) {
  std::uint64_t total = 0;
  for (const SectorRange& range : plan.ranges) total += range.last - range.first + 1;
  std::uint64_t skip = static_cast<std::uint64_t>(fraction * static_cast<double>(total));
  skip = total > sectors ? std::min<std::uint64_t>(skip, total - sectors) : 0;
  ReadPlan part;
  for (std::size_t i = 0; i < plan.ranges.size() && sectors > 0; ++i) {
    SectorRange range = plan.ranges[i];
    const std::uint64_t length = range.last - range.first + 1;
    if (skip >= length) {
      skip -= length;
      continue;
    }
    range.first += static_cast<std::uint32_t>(skip);
    skip = 0;
    range.last = std::min<std::uint32_t>(range.last, range.first + sectors - 1);
    sectors -= range.last - range.first + 1;
    part.ranges.push_back(range);
    part.cellOfRange.push_back(plan.cellOfRange[i]);
  }
  return part;
}

}  // namespace

int main(int argc, char** argv) {
  Request request;
  const std::string usageError = ParseArguments(argc, argv, request);
  if (!usageError.empty()) {
    std::fprintf(stderr, "vobtitle: %s\n%s", usageError.c_str(), kUsage);
    return 2;
  }

  const ifoscan::OpenedSource opened = ifoscan::OpenSource(request.ifoPath);
  if (!opened.source) return Fail(request.ifoPath, opened.error);
  const ifoscan::DiscContents disc = ifoscan::ReadDisc(*opened.source, opened.titleSet);
  if (!disc.error.empty()) return Fail(request.ifoPath, disc.error);
  // A whole disc: the chain is one of the main feature's title set.
  const ifoscan::DiscTitleSet& chosen = disc.sets[ifoscan::MainFeature(disc.sets).set];
  const ifoscan::TitleSet& titleSet = chosen.titleSet;
  std::string error;
  if (request.chain > static_cast<long>(titleSet.chains.size()))
    return Fail(request.ifoPath, "chain " + std::to_string(request.chain) + " does not exist: the title set has " +
                                     std::to_string(titleSet.chains.size()) + " chains");
  const ifoscan::ProgramChain& chain = titleSet.chains[request.chain - 1];
  const std::string chainName = request.ifoPath + ": chain " + std::to_string(request.chain);
  const ifoscan::CellOrder order = ifoscan::PlaybackOrder(chain, static_cast<int>(request.angle));
  if (!order.error.empty()) return Fail(chainName, order.error);

  const std::unique_ptr<TitleVobs> titleVobs = opened.source->OpenTitleVobs(chosen.number, error);
  if (!titleVobs) return Fail(request.ifoPath, error);
  TitleVobs& vobs = *titleVobs;
  std::vector<PlayedCell> cells;
  for (int index : order.cells) {
    const ifoscan::Cell& cell = chain.cells[index];
    cells.push_back({&cell, {cell.firstSector, cell.lastSector}});
    error = vobs.CheckRange(cells.back().range);
    if (!error.empty()) return Fail(chainName + " cell " + std::to_string(index + 1), error);
  }

  if (request.mode == Request::Mode::Chapters) return PrintChapters(chain, order.cells);
  ReadPlan plan;
  if (!PlanReads(vobs, cells, plan, error)) return Fail(chainName, error);
  if (request.mode == Request::Mode::VobSub) return WriteVobSub(request, titleSet, chain, vobs, cells, plan);
  // A megabyte holds a DVD's picture for a second or more: a key frame at least.
  if (request.mode == Request::Mode::Sample) plan = PlanPart(plan, request.fraction, 512);
  OutputFile out;
  if (!out.Open(request.output, error) || !CopyCells(vobs, cells, plan, out, error) || !out.Commit(error))
    return Fail("--stream", error);
  return 0;
}
