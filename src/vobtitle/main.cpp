// vobtitle PATH CHAIN ANGLE --stream OUT
// vobtitle PATH CHAIN ANGLE --vobsub STEM ID...
//
// Reads one program chain of a DVD title set as a player plays it: the chain's cells in
// program order, for one angle, out of the title set's VOB files. PATH is a title set's IFO
// or, in the native build, a disc (folder, image or drive): then the main feature's title
// set; IMAGE/VIDEO_TS/VTS_nn_0.IFO names title set nn inside an image or drive. --stream writes those
// cells as one MPEG program stream (OUT "-" is standard output); --vobsub writes the chosen
// sub-picture streams as STEM.idx and STEM.sub. Any problem: a message on stderr, a
// non-zero exit and no output file.

#include <cerrno>
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
    "  PATH   a title set's VTS_nn_0.IFO (its VOB files lie beside it), or a disc folder,\n"
    "         ISO image or drive (the main feature's title set; IMAGE/VIDEO_TS/VTS_nn_0.IFO\n"
    "         names title set nn of an image or drive)\n"
    "  CHAIN  program chain, from 1;  ANGLE  angle, from 1\n"
    "  OUT    the chain's cells as one MPEG program stream; - for standard output\n"
    "  STEM   writes STEM.idx and STEM.sub; ID  sub-picture stream ids (0x20...), in track order\n";

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
  std::string ifoPath;
  long chain = 0;
  long angle = 0;
  bool vobsub = false;
  std::string output;  // OUT or STEM
  std::vector<int> streamIds;
};

// Returns "" or why the command line is not one vobtitle takes.
std::string ParseArguments(int argc, char** argv, Request& request) {
  if (argc < 6) return "too few arguments";
  request.ifoPath = argv[1];
  // A title set holds at most 999 chains; angles go to 9.
  if (!ParseNumber(argv[2], request.chain) || request.chain < 1 || request.chain > 999)
    return std::string("CHAIN '") + argv[2] + "' is not a number from 1 to 999";
  if (!ParseNumber(argv[3], request.angle) || request.angle < 1 || request.angle > 9)
    return std::string("ANGLE '") + argv[3] + "' is not a number from 1 to 9";
  const std::string mode = argv[4];
  request.output = argv[5];
  if (mode == "--stream") return argc == 6 ? "" : "--stream takes one output file";
  if (mode != "--vobsub") return "unknown mode '" + mode + "'";
  request.vobsub = true;
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

  ReadPlan plan;
  if (!PlanReads(vobs, cells, plan, error)) return Fail(chainName, error);
  if (request.vobsub) return WriteVobSub(request, titleSet, chain, vobs, cells, plan);
  OutputFile out;
  if (!out.Open(request.output, error) || !CopyCells(vobs, cells, plan, out, error) || !out.Commit(error))
    return Fail("--stream", error);
  return 0;
}
