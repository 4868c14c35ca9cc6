#pragma once
// Output of a GUI-subsystem program to the console it was started from, or to wherever its
// standard output was redirected.

#include <windows.h>

#include <streambuf>

namespace ravlo {

// Makes the standard handles usable: keeps redirected ones, otherwise attaches to the
// parent's console. Call once, before the first output.
void ConnectToParentConsole();

class HandleStreamBuf : public std::streambuf {
 public:
  explicit HandleStreamBuf(DWORD stdHandle) : stdHandle_(stdHandle) {}
  ~HandleStreamBuf() override { sync(); }

 protected:
  int overflow(int c) override;
  int sync() override;

 private:
  void Flush();
  DWORD stdHandle_;
  std::string pending_;
};

}  // namespace ravlo
