#pragma once
// Output of a GUI-subsystem program to the console it was started from, or to wherever its
// standard output was redirected.

#include <windows.h>

#include <cstddef>
#include <string>

namespace ravlo {

// Makes the standard handles usable: keeps redirected ones, otherwise attaches to the
// parent's console. Call once, before the first output.
void ConnectToParentConsole();

// Text for one standard handle, with CR LF line ends, written in blocks. Shaped like a stream
// (write, flush) so that scripted mode's TextSink takes it as one.
class ConsoleWriter {
 public:
  explicit ConsoleWriter(DWORD stdHandle) : stdHandle_(stdHandle) {}
  ~ConsoleWriter() { flush(); }
  ConsoleWriter(const ConsoleWriter&) = delete;
  ConsoleWriter& operator=(const ConsoleWriter&) = delete;

  void write(const char* text, std::size_t length);
  void flush();

 private:
  DWORD stdHandle_;
  std::string pending_;
};

}  // namespace ravlo
