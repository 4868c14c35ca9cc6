#include "app/named_options.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>
#include <vector>

#include "app/scripted_mode.h"

namespace ravlo {
namespace {

bool IsStreamId(const std::string& text) {
  if (text.size() < 3 || text.size() > 4 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
    return false;
  }
  for (std::size_t i = 2; i < text.size(); ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

// "0x80,0x81" -> the ids in order; nothing when one is not a stream id.
std::optional<std::vector<std::string>> StreamIds(const std::string& text) {
  std::vector<std::string> ids;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string id = text.substr(start, comma == std::string::npos ? comma : comma - start);
    if (!IsStreamId(id)) return std::nullopt;
    ids.push_back(id);
    if (comma == std::string::npos) return ids;
    start = comma + 1;
  }
}

bool IsWholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "700" or "4482.5": the medium may have a fraction of a megabyte.
bool IsSizeNumber(const std::string& text) {
  const std::size_t point = text.find('.');
  if (point == std::string::npos) return IsWholeNumber(text);
  return IsWholeNumber(text.substr(0, point)) && IsWholeNumber(text.substr(point + 1));
}

// "1,3-5" -> 1, 3, 4, 5: chain numbers and ranges of them, 1 to 99; nothing when it is not such a list.
std::optional<std::vector<int>> ChainList(const std::string& text) {
  std::vector<int> chains;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string part = text.substr(start, comma - start);
    const std::size_t dash = part.find('-');
    const std::string first = part.substr(0, dash);
    const std::string last = dash == std::string::npos ? first : part.substr(dash + 1);
    if (!IsWholeNumber(first) || !IsWholeNumber(last)) return std::nullopt;
    const int from = std::stoi(first), to = std::stoi(last);
    if (from < 1 || to > 99 || from > to) return std::nullopt;
    for (int chain = from; chain <= to; ++chain) {
      if (std::find(chains.begin(), chains.end(), chain) == chains.end()) chains.push_back(chain);
    }
    start = comma + 1;
  }
  return chains;
}

bool TakesValue(const std::string& option) {
  return option == "--chain" || option == "--title-set" || option == "--audio" || option == "--subtitles" ||
         option == "--format" || option == "--quality" || option == "--size" ||
         option == "--author" || option == "--video" || option == "--container" || option == "--nodes" ||
         option == "--titles" || option == "--size-each";
}

// The actions of one named option with its value; an error text when the value is wrong.
std::string Expand(const std::string& option, const std::string& value,
                   std::vector<std::string>& out) {
  if (option == "--delete-temporary") return out.insert(out.end(), {"--set", "chkDelTemp=1"}), "";
  if (option == "--delete-logs") return out.insert(out.end(), {"--set", "chkDelLogs=1"}), "";
  if (option == "--author") return out.insert(out.end(), {"--answer", value, "--click", "mnuSetAuthor"}), "";
  if (option == "--audio" || option == "--subtitles") {
    const auto ids = StreamIds(value);
    if (!ids) return option + " takes stream ids separated by commas (0x80,0x81), got \"" + value + "\"";
    const bool audio = option == "--audio";
    out.insert(out.end(), {"--click", audio ? "cmdASN" : "cmdSSN"});
    for (const std::string& id : *ids) out.insert(out.end(), {"--check", (audio ? "lstAL=" : "lstSL=") + id});
    return "";
  }
  if (option == "--format") {
    if (value == "mp3") return out.insert(out.end(), {"--set", "optAud_MP3=1"}), "";
    if (value == "ogg") return out.insert(out.end(), {"--set", "optAud_OGG=1"}), "";
    if (value == "aac") return out.insert(out.end(), {"--set", "optAud_AAC=1"}), "";
    if (value == "opus") return out.insert(out.end(), {"--set", "optAud_OPUS=1"}), "";
    if (value == "ac3" || value == "original") {
      out.insert(out.end(), {"--set", "optAud_AC3=1", "--set",
                             value == "ac3" ? "chkOrig=0" : "chkOrig=1"});
      return "";
    }
    return "--format takes mp3, ogg, ac3, original, aac or opus, got \"" + value + "\"";
  }
  // The codec and the container by their short names, set as their lists show them.
  if (option == "--video" || option == "--container") {
    using Names = std::vector<std::pair<const char*, const char*>>;
    const bool video = option == "--video";
    const Names names = video ? Names{{"xvid", "XviD"}, {"h264", "H.264"}, {"hevc", "H.265"}, {"av1", "AV1"}}
                              : Names{{"mkv", "MKV"}, {"mp4", "MP4"}, {"avi", "AVI"}};
    for (const auto& [name, item] : names) {
      if (value == name) return out.insert(out.end(), {"--set", (video ? "cmbVideo=" : "cmbContainer=") + std::string(item)}), "";
    }
    return option + (video ? " takes xvid, h264, hevc or av1" : " takes mkv, mp4 or avi") + ", got \"" + value + "\"";
  }
  if (option == "--size" || option == "--size-each") {
    if (!IsSizeNumber(value)) return option + " takes the medium in MB (700, 4482.5), got \"" + value + "\"";
    out.insert(out.end(), {"--set", "cmbMS=" + value});
    if (option == "--size-each") out.insert(out.end(), {"--set", "chkSizeEach=1"});
    return "";
  }
  // Each chain is ticked in the list of titles, whose items are the chains in order.
  if (option == "--titles") {
    const auto chains = ChainList(value);
    if (!chains) return "--titles takes chain numbers and ranges from 1 to 99 (1,3-5), got \"" + value + "\"";
    for (const int chain : *chains) out.insert(out.end(), {"--check", "lstTitles=" + std::to_string(chain - 1)});
    return "";
  }
  // --chain and --quality take a whole number.
  if (!IsWholeNumber(value)) return option + " takes a whole number, got \"" + value + "\"";
  const char* field = option == "--chain" ? "txtTitle=" : "cmbAudQual=";
  out.insert(out.end(), {"--set", field + value});
  return "";
}

}  // namespace

ExpandedArguments ExpandNamedOptions(const std::vector<std::string>& args) {
  ExpandedArguments result;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool flag = arg == "--delete-temporary" || arg == "--delete-logs";
    if (!flag && !TakesValue(arg)) {
      result.actions.push_back(arg);
      // A scripted action's value passes through as it is, even when it looks like an option.
      if (arg.rfind("--", 0) == 0 && arg != "--cancel" && arg != "--dump" && i + 1 < args.size()) {
        result.actions.push_back(args[++i]);
      }
      result.saidAs.resize(result.actions.size());
      continue;
    }
    std::string value;
    if (!flag) {
      if (i + 1 >= args.size()) {
        result.error = arg + " needs a value";
        return result;
      }
      value = args[++i];
    }
    if (arg == "--nodes") {
      result.nodes = value;
      continue;
    }
    if (arg == "--title-set") {
      if (!IsWholeNumber(value) || std::stoi(value) < 1 || std::stoi(value) > 99) {
        result.error = "--title-set takes a title set number from 1 to 99, got \"" + value + "\"";
        return result;
      }
      result.titleSet = value;
      continue;
    }
    result.error = Expand(arg, value, result.actions);
    if (!result.error.empty()) return result;
    result.saidAs.resize(result.actions.size(), arg);
  }
  result.saidAs.resize(result.actions.size());
  return result;
}

std::string NativeUsage() {
  return "Usage: ravlo3 [options and actions]   (ravlo3 --help shows this text)\n"
         "Plans the conversion of one DVD title and writes a project folder whose project.sh\n"
         "makes the movie with ffmpeg: one MKV file of H.264 video with the chosen audio and\n"
         "subtitles, their languages and the disc's chapters (--video and --container choose).\n"
         "Example:\n"
         "  ravlo3 --open /media/dvd/VIDEO_TS/VTS_01_0.IFO --chain 1 --audio 0x80,0x81 \\\n"
         "         --subtitles 0x21,0x20 --format mp3 --quality 128 --size 700 \\\n"
         "         --delete-temporary --save ~/movies/film && ~/movies/film/project.sh\n"
         "  ravlo3 --list ~/film.iso     (the chains of a disc; --open takes the main feature)\n"
         "--open takes a title set's IFO, a disc folder (VIDEO_TS or the folder above it), an ISO\n"
         "image or a drive (/dev/sr0). Without --chain it takes the longest chain: of a whole\n"
         "disc the main feature, the longest chain of all its title sets (--title-set N: of N).\n"
         "Options (shorthands for the actions below; they run in the order given, so name\n"
         "the chain and streams after --open):\n"
         "  --chain N                program chain N of the title set\n"
         "  --title-set N            of a whole disc, title set N; applies to every --open\n"
         "  --list PATH              alone: prints the chains of the disc and marks the main\n"
         "                           feature and the episodes\n"
         "  --titles 1,3-5           several chains, each its own file (MKV or MP4), sharing\n"
         "                           the medium by what their pictures need\n"
         "  --episodes               the chains that are episodes: 5 to 90 minutes long and not\n"
         "                           made of other episodes' cells (a \"play all\" chain is not)\n"
         "  --version                alone: prints the version\n"
         "  --audio 0x80,0x81        check exactly these audio streams, in this order\n"
         "  --subtitles 0x21,0x20    check exactly these subtitle streams, in this order\n"
         "  --format mp3|ogg|ac3|original|aac|opus   audio format (original keeps the disc's\n"
         "                           stream; aac and opus for MKV and MP4)\n"
         "  --video h264|hevc|xvid|av1   video codec (default h264; av1 where ffmpeg makes\n"
         "                           two passes with it)\n"
         "  --container mkv|mp4|avi  one MKV or MP4 file (default mkv), or AVI with the audio\n"
         "                           and subtitles in files beside it (the XviD road's)\n"
         "  --quality N              audio bitrate in kbit/s (MP3, AC3) or OGG quality\n"
         "  --size MB                size of the medium in MB (fractions allowed); several\n"
         "                           titles fill it together\n"
         "  --size-each MB           several titles: each fills a medium of this size\n"
         "  --author TEXT            author text for the audio files' tags\n"
         "  --delete-temporary       delete temporary files at the end of project.sh\n"
         "  --delete-logs            delete the logs at the end of project.sh\n"
         "  --nodes FILE             encode XviD's segments on the machines of this GNU parallel\n"
         "                           login file (RAVLO3_NODES=FILE when project.sh runs does\n"
         "                           the same)\n" +
         ScriptActionsHelp();
}

}  // namespace ravlo
