#include "videopass/run_report.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>

namespace videopass {
namespace {

std::string Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02ld", local.tm_hour, local.tm_min, local.tm_sec,
                now.tv_nsec / 10000000);
  return text;
}

}  // namespace

long long FileBytes(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

void StageAgain(const Options& options, const std::string& name, const std::string& note) {
  std::printf("\n[%s] %s (%s)\n", options.stage.c_str(), name.c_str(), note.c_str());
  std::fflush(stdout);
  std::ofstream(options.log, std::ios::app) << name << ": " << Now() << '\n';
}

void SizeLine(const Options& options, const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  std::ofstream(options.sizeLog, std::ios::app) << line << '\n';
}

int Fail(const std::string& reason) {
  std::cerr << "videopass: " << reason << '\n';
  return 1;
}

std::string Percent(long long total, long long medium) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", 100.0 * static_cast<double>(total) / static_cast<double>(medium));
  return text;
}

}  // namespace videopass
