#include "videopass/source_piece.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace videopass {
namespace {

constexpr long long kPack = 2048;

bool ToSeconds(const std::string& text, double& value) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0';
}

}  // namespace

std::vector<std::string> PacketPlacesCommand(const std::string& source) {
  return {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pts_time,dts_time,pos,flags",
          "-of", "csv=p=0", source};
}

std::vector<PacketPlace> ReadPacketPlaces(const std::string& listing) {
  std::vector<PacketPlace> places;
  std::istringstream in(listing);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
    if (fields.size() < 4) continue;
    PacketPlace place;
    char* end = nullptr;
    place.pos = std::strtoll(fields[2].c_str(), &end, 10);
    if (fields[2].empty() || *end != '\0' || place.pos < 0) continue;
    if (!ToSeconds(fields[1], place.seconds) && !ToSeconds(fields[0], place.seconds)) continue;
    place.key = !fields[3].empty() && fields[3][0] == 'K';
    places.push_back(place);
  }
  return places;
}

ByteRange PieceRange(const std::vector<PacketPlace>& places, long long fileBytes, double from, double to) {
  ByteRange range{0, fileBytes};
  if (places.empty()) return range;
  const double zero = places.front().seconds;
  if (from >= 0) {
    std::size_t at = 0;
    while (at < places.size() && places[at].seconds - zero < from) ++at;
    int keys = 0;
    std::size_t start = std::min(at, places.size() - 1);
    for (std::size_t i = start + 1; i-- > 0;) {
      if (places[i].key && ++keys == 3) {
        start = i;
        break;
      }
      if (i == 0) start = 0;
    }
    range.begin = start == 0 ? 0 : places[start].pos / kPack * kPack;
  }
  if (to >= 0) {
    for (const PacketPlace& place : places) {
      if (place.seconds - zero > to + 1.0) {
        range.end = std::min(fileBytes, (place.pos + kPack - 1) / kPack * kPack);
        break;
      }
    }
  }
  range.end = std::max(range.end, range.begin);
  return range;
}

std::string CutPiece(const std::string& source, const ByteRange& range, const std::string& piece) {
  std::ifstream in(source, std::ios::binary);
  if (!in || !in.seekg(range.begin)) return source + " cannot be read: " + std::strerror(errno);
  std::ofstream out(piece, std::ios::binary | std::ios::trunc);
  if (!out) return piece + " cannot be written: " + std::strerror(errno);
  std::vector<char> buffer(1 << 20);
  long long left = range.end - range.begin;
  while (left > 0) {
    const long long want = std::min<long long>(left, static_cast<long long>(buffer.size()));
    if (!in.read(buffer.data(), want)) return source + " ended before byte " + std::to_string(range.end);
    if (!out.write(buffer.data(), want)) return piece + " cannot be written: " + std::strerror(errno);
    left -= want;
  }
  out.close();
  if (!out) return piece + " cannot be written: " + std::strerror(errno);
  return "";
}

}  // namespace videopass
