#include "videopass/remote_jobs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "videopass/run_report.h"
#include "videopass/source_piece.h"

namespace videopass {
namespace {

// A job's working files, all beside its log.
struct Packed {
  std::size_t index = 0;
  std::string name;     // the log's name without ".log"
  std::vector<std::string> args;
  std::string piece;    // its piece of the source, "" when it reads none
  std::string script, status, send, back;
};

std::string Base(const EncoderJob& job) {
  const std::string& log = job.log;
  return log.size() > 4 && log.compare(log.size() - 4, 4, ".log") == 0 ? log.substr(0, log.size() - 4) : log;
}

std::string NameOf(const std::string& base) {
  const std::size_t slash = base.rfind('/');
  return slash == std::string::npos ? base : base.substr(slash + 1);
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string LastLine(const std::string& text) {
  std::istringstream lines(text);
  std::string line, last;
  while (std::getline(lines, line)) {
    if (!line.empty()) last = line;
  }
  return last;
}

// Runs helper commands here (tar, ffprobe), side by side; "" or the first failure.
std::string RunHere(const std::vector<EncoderJob>& jobs) {
  ProgressLine quiet("", 0);
  return RunJobs(jobs, UsableCores(), quiet);
}

EncoderJob HelperJob(std::vector<std::string> args, const std::string& log) {
  EncoderJob job;
  job.args = std::move(args);
  job.log = log;
  std::remove(log.c_str());
  return job;
}

// The places of the source's video packets, listed once for the job's run.
std::string PacketPlaces(const std::string& folder, const std::string& source, std::vector<PacketPlace>& places) {
  const std::string list = folder + "/places.txt";
  if (const std::string error = RunHere({HelperJob(PacketPlacesCommand(source), list)}); !error.empty()) return error;
  places = ReadPacketPlaces(ReadAll(list));
  return "";
}

// The script a machine runs the job with. A command the machine lacks (exit 126 or 127) fails
// the job there, so that parallel tries another machine; the encoder's own failure comes back
// in the status file and is judged here like a local one.
std::string ScriptText(const Packed& packed, const EncoderJob& job) {
  std::string text = "# " + packed.name + ": run by GNU parallel where it chose, in a folder of its own\n";
  // Where it ran and what of the source it had, for the user who looks for it in its log.
  std::string piece;
  if (!packed.piece.empty()) {
    piece = ", $(wc -c <" + ShownCommand({packed.piece}) + " | tr -d ' ') bytes of " + ShownCommand({job.source});
  }
  text += "echo \"videopass: " + packed.name + " on $(hostname) in $(pwd)" + piece + "\" >" + ShownCommand({job.log}) +
          "\n";
  text += ShownCommand(packed.args) + " </dev/null >>" + ShownCommand({job.log}) + " 2>&1\n";
  text += "status=$?\n";
  // Said on parallel's output, which reaches the user when no machine could run it.
  text += "case $status in 126 | 127) echo \"videopass: " + packed.name + " cannot run on $(hostname): $(tail -n 1 " +
          ShownCommand({job.log}) + ")\" >&2; exit \"$status\" ;; esac\n";
  text += "echo \"$status\" >" + ShownCommand({packed.status}) + "\n";
  text += "set --\n";
  text += "for file in " + ShownCommand(job.returns) + "; do [ -e \"$file\" ] && set -- \"$@\" \"$file\"; done\n";
  text += "exec tar -cf " + ShownCommand({packed.back, packed.status}) + " \"$@\"\n";
  return text;
}

// Packs the job: cuts its piece of the source, writes its script, puts what it needs into one
// file. "" or the reason it cannot.
std::string Pack(const EncoderJob& job, std::size_t index, const std::vector<PacketPlace>& places, Packed& packed,
                 EncoderJob& tar) {
  const std::string base = Base(job);
  packed.index = index;
  packed.name = NameOf(base);
  packed.args = job.argsAtStart ? job.argsAtStart() : job.args;
  packed.script = base + ".job.sh";
  packed.status = base + ".status";
  packed.send = base + ".send.tar";
  packed.back = base + ".back.tar";
  for (const std::string& file : {packed.status, packed.back}) std::remove(file.c_str());
  std::vector<std::string> sends = {packed.script};
  if (!job.source.empty()) {
    const ByteRange range = PieceRange(places, FileBytes(job.source), job.sourceFrom, job.sourceTo);
    const std::size_t dot = job.source.rfind('.');
    packed.piece = base + ".piece" + (dot == std::string::npos ? std::string() : job.source.substr(dot));
    if (const std::string error = CutPiece(job.source, range, packed.piece); !error.empty()) return error;
    sends.push_back(packed.piece);
    for (std::size_t i = 0; i + 1 < packed.args.size(); ++i) {
      if (packed.args[i] != "-i" || packed.args[i + 1] != job.source) continue;
      packed.args[i + 1] = packed.piece;
      // A piece that starts inside the title starts its own clock: the seek would land
      // elsewhere. Decoded from its start, its frames keep the source's time stamps, from
      // which the segment's filters keep its own.
      if (range.begin > 0 && i >= 2 && packed.args[i - 2] == "-ss") {
        packed.args.erase(packed.args.begin() + static_cast<long>(i) - 2, packed.args.begin() + static_cast<long>(i));
      }
      break;
    }
  }
  sends.insert(sends.end(), job.sends.begin(), job.sends.end());
  std::ofstream(packed.script, std::ios::trunc) << ScriptText(packed, job);
  tar = HelperJob(std::vector<std::string>{"tar", "-cf", packed.send}, base + ".pack.log");
  tar.args.insert(tar.args.end(), sends.begin(), sends.end());
  return "";
}

// The jobs the log says ended well (its lines: Seq, Host, ..., Exitval, Signal, Command).
std::vector<bool> EndedWell(const std::string& jobLog, std::size_t count) {
  std::vector<bool> ended(count, false);
  std::istringstream lines(ReadAll(jobLog));
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    if (fields.size() < 8) continue;
    const long seq = std::atol(fields[0].c_str());
    if (seq >= 1 && static_cast<std::size_t>(seq) <= count && std::atol(fields[6].c_str()) == 0 &&
        std::atol(fields[7].c_str()) == 0) {
      ended[seq - 1] = true;
    }
  }
  return ended;
}

// What came back of a job: "" when whole; `again` when nothing or not all of it came back
// (its machine vanished), else the encoder's own failure.
std::string Returned(const EncoderJob& job, const Packed& packed, bool& again) {
  again = false;
  if (FileBytes(packed.back) < 0 || !RunHere({HelperJob({"tar", "-xf", packed.back}, Base(job) + ".unpack.log")}).empty()) {
    again = true;
    return packed.name;
  }
  const std::string statusText = ReadAll(packed.status);
  const std::string messages = ReadAll(job.log);
  for (const std::string& file : job.returns) {
    if (FileBytes(file) < 0 && statusText == "0\n") {
      again = true;
      return packed.name;
    }
  }
  const std::string complaint = WriteComplaint(messages);
  if (statusText == "0\n" && complaint.empty()) return "";
  std::string reason = ShownCommand(packed.args);
  if (!complaint.empty()) {
    reason += (statusText == "0\n" ? " reported an error: " : " failed: ") + complaint;
  } else {
    const std::string status = statusText.empty() ? "?" : statusText.substr(0, statusText.find('\n'));
    reason += " ended with exit code " + status;
    if (const std::string last = LastLine(messages); !last.empty()) reason += ": " + last;
  }
  return reason + "; its messages are in " + job.log;
}

}  // namespace

int NodeSlots(const std::string& logins) {
  std::istringstream lines(logins);
  int slots = 0;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    const std::size_t digits = line.find_first_not_of("0123456789", start);
    if (digits != start && digits != std::string::npos && line[digits] == '/') {
      slots += std::atoi(line.c_str() + start);
    } else {
      const std::size_t end = line.find_last_not_of(" \t\r");
      slots += line.substr(start, end + 1 - start) == ":" ? UsableCores() : 1;
    }
  }
  return slots;
}

std::string NodeSsh(const char* userSsh) {
  std::string ssh = userSsh != nullptr && *userSsh != '\0' ? userSsh : "ssh";
  // No password prompt; a login that cannot be had in 10 s fails; a machine silent for 15 s
  // is taken for gone.
  return ssh + " -o BatchMode=yes -o ConnectTimeout=10 -o ServerAliveInterval=5 -o ServerAliveCountMax=3";
}

std::vector<std::string> ParallelCommand(const std::string& loginFile, const std::string& ssh,
                                         const std::string& table, const std::string& jobLog) {
  return {"parallel", "--sshloginfile", loginFile, "--ssh", ssh,
          // A folder of its own on each machine, removed with the job's files.
          "--workdir", "...", "--transferfile", "{1}", "--return", "{3}", "--cleanup",
          // A job whose machine failed goes to another one.
          "--retries", "3", "--joblog", jobLog, "--colsep", "\t", "--arg-file", table, "tar -xf {1} && sh {2}"};
}

std::string RunOnNodes(const Nodes& nodes, const std::vector<EncoderJob>& jobs, ProgressLine& progress) {
  if (jobs.empty()) return "";
  std::vector<PacketPlace> places;
  for (const EncoderJob& job : jobs) {
    if (job.source.empty()) continue;
    if (const std::string error = PacketPlaces(nodes.folder, job.source, places); !error.empty()) return error;
    break;
  }
  const std::string batch = Base(jobs.front()) + ".nodes";
  const std::string ssh = NodeSsh(std::getenv("PARALLEL_SSH"));
  std::vector<long> made(jobs.size(), 0);
  std::vector<std::size_t> pending;
  for (std::size_t i = 0; i < jobs.size(); ++i) pending.push_back(i);
  // parallel tries a job whose machine failed on the others; a job that ended well on a
  // machine that vanished before its results came back is handed to parallel once more.
  for (int round = 1; round <= 2 && !pending.empty(); ++round) {
    std::vector<Packed> packs(pending.size());
    std::vector<EncoderJob> tars(pending.size());
    for (std::size_t k = 0; k < pending.size(); ++k) {
      const EncoderJob& job = jobs[pending[k]];
      std::remove(job.progress.c_str());
      for (const std::string& file : job.returns) std::remove(file.c_str());
      if (std::string e = Pack(job, pending[k], places, packs[k], tars[k]); !e.empty()) return e;
    }
    if (std::string e = RunHere(tars); !e.empty()) return e;
    const std::string table = batch + "." + std::to_string(round) + ".txt";
    const std::string jobLog = batch + "." + std::to_string(round) + ".joblog";
    {
      std::ofstream out(table, std::ios::trunc);
      for (const Packed& packed : packs) out << packed.send << '\t' << packed.script << '\t' << packed.back << '\n';
    }
    std::remove(jobLog.c_str());
    EncoderJob run = HelperJob(ParallelCommand(nodes.loginFile, ssh, table, jobLog), batch + ".log");
    ProgressLine quiet("", 0);
    const std::string ran = RunJobs({run}, 1, quiet, [&](const std::vector<long>&) {
      const std::vector<bool> ended = EndedWell(jobLog, packs.size());
      long done = 0;
      for (std::size_t k = 0; k < packs.size(); ++k) {
        if (ended[k]) made[packs[k].index] = jobs[packs[k].index].frames;
      }
      for (long frames : made) done += frames;
      progress.Update(done);
      return false;
    });
    for (const Packed& packed : packs) {
      if (!packed.piece.empty()) std::remove(packed.piece.c_str());
      std::remove(packed.send.c_str());
    }
    std::vector<std::size_t> again;
    for (const Packed& packed : packs) {
      bool runAgain = false;
      const std::string reason = Returned(jobs[packed.index], packed, runAgain);
      std::remove(packed.back.c_str());
      if (reason.empty()) {
        made[packed.index] = jobs[packed.index].frames;
        continue;
      }
      if (!runAgain) return reason;
      made[packed.index] = 0;
      again.push_back(packed.index);
    }
    // parallel itself did not run (not installed, a login file it refuses): its reason.
    if (again.size() == packs.size() && !ran.empty()) return ran;
    pending = again;
  }
  if (!pending.empty()) {
    std::string names;
    for (std::size_t index : pending) names += (names.empty() ? "" : ", ") + NameOf(Base(jobs[index]));
    std::string said = LastLine(ReadAll(batch + ".log"));
    return "the results of " + names + " came back from none of the machines in " + nodes.loginFile +
           ", twice" + (said.empty() ? "" : ": " + said) + "; parallel's messages are in " + batch + ".log";
  }
  long done = 0;
  for (const EncoderJob& job : jobs) done += job.frames;
  progress.Finished(done);
  return "";
}

}  // namespace videopass
