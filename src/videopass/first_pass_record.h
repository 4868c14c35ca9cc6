#pragma once
// What the first pass leaves the second, read and checked to agree with itself: the plan, the
// segments' logs as one title, and the plan's seek line against the source's packets it was
// read from. Trusted when damaged, they would have the second pass read past a log, shift a
// segment's frames against their statistics, or share the bits by lengths no frame has.
#include <string>
#include <vector>

#include "videopass/options.h"
#include "videopass/pass_log.h"
#include "videopass/source_timing.h"

namespace videopass {

struct FirstPassRecord {
  double fps = 0;
  std::vector<long> starts;  // the segments' first frames, from 0, rising
  long tailFrom = 0;         // within the last segment
  SourceTiming timing;       // as the first pass's segments seeked
  PassLog title;             // every segment's frames, as many as the starts give it
};

// "" or why the second pass cannot work from them, naming the file. `chain` is the encodes'
// filters, which decide whether a segment may seek.
std::string ReadFirstPassRecord(const Options& options, const std::string& chain, FirstPassRecord& record);

}  // namespace videopass
