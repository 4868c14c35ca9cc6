// videopass: the video of project.sh in segments side by side.
//   videopass first  --stage N/M --duration SECONDS [--source movie.vob] [--folder segments] -- WORDS...
//   videopass second --stage N/M --medium BYTES --results 'FILES' [--out movie.avi.part] ... -- WORDS...
//   videopass first|second --codec h264|hevc|av1 --titles 'N...' (--medium | --medium-each) BYTES
//                          [--outs 'FILES' --mux SCRIPT]   several titles, each in its folder titleN
//   videopass join OUT SEGMENT...
// WORDS are the chain's filter and rate options and any codec options, passed to every encode.
// The first pass cuts the title into as many segments as there are cores; the second shares
// the bits by the first pass's statistics, encodes all segments but a short trailing one, and
// then that one (again if needed) until the results fill the medium within [99.5%, 100%].
#include <iostream>
#include <string>

#include "videopass/first_pass.h"
#include "videopass/join.h"
#include "videopass/options.h"
#include "videopass/run_report.h"
#include "videopass/second_pass.h"

int main(int argc, char** argv) {
  using namespace videopass;
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << "usage: videopass first --stage N/M --duration SECONDS [--source FILE] [--folder DIR] -- WORDS...\n"
                 "       videopass second --stage N/M --medium BYTES [--results 'FILES'] [--out movie.avi.part] -- WORDS...\n"
                 "       videopass first|second --codec C --titles 'N...' (--medium|--medium-each) BYTES "
                 "[--outs 'FILES' --mux SCRIPT]\n"
                 "       videopass join OUT SEGMENT...\n";
    return 2;
  }
  if (options.command == "first") return First(options);
  if (options.command == "second") return Second(options);
  const std::string folder = ".";
  const std::string error = Join(options.files[0], {options.files.begin() + 1, options.files.end()}, folder);
  if (!error.empty()) return Fail(error);
  return 0;
}
