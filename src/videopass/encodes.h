#pragma once
// The ffmpeg commands of the segments' encodes: libxvid over the chain's frames of a segment,
// opened at a seek where the source allows one.
#include <string>
#include <vector>

#include "videopass/encoder_jobs.h"
#include "videopass/options.h"
#include "videopass/segment_command.h"
#include "videopass/source_timing.h"

namespace videopass {

// ffmpeg quiet but for errors, overwriting its outputs.
extern const std::vector<std::string> kFfmpeg;

// `a` followed by `b`.
std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b);

// The libxvid encode NAME of the input words, with the pass's words; its log and -progress
// file in the segments' folder.
EncoderJob XvidJob(const Options& options, const EncoderWords& words, const std::string& name,
                   const std::vector<std::string>& input, const std::vector<std::string>& pass, long frames);

// Runs the encodes here, side by side on the cores, or on the machines of options.nodes.
std::string RunEncodes(const Options& options, const std::vector<EncoderJob>& jobs, ProgressLine& progress);

// How many segments the title is cut into: one per core here, or per job the machines of
// options.nodes take at once, whichever is more.
int SegmentCount(const Options& options);

// Marks the job as reading the chain's frames [first, end) (end < 0: to the last) of the
// source, at `fps` frames a second, for a run on another machine to take only that part along.
void ReadsSource(EncoderJob& job, const Options& options, long first, long end, const SeekPoint& seek, double fps);

// The source opened at the seek (if any).
std::vector<std::string> SourceInput(const Options& options, const SeekPoint& seek);

// The chain's frames [first, end) (end < 0: to the last): after a seek to them where the plan
// has one, else decoding from the title's start.
std::vector<std::string> ChainInput(const Options& options, const std::string& chain, long first, long end,
                                    const SeekPoint& seek);

// The last segment's filters: its own frames to [main], the frames from `tailFrom` on to [tail].
std::string TailGraph(const std::string& chain, long first, long tailFrom, const SeekPoint& seek);

}  // namespace videopass
