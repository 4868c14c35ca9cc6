#pragma once
// A disc read in a child process (POSIX only). libdvdread walks a disc's file system as the
// disc describes it, and a damaged image can make it read far outside its buffers and crash.
// In a child, such a crash ends the child only: the program gets a reason and ends cleanly.

#include <functional>
#include <string>

#include "disc_source.h"

namespace ifoscan {

// Starts a child that opens a source with open() and answers every call of the source
// returned. When the child dies, the call in flight and every later one fail with
// "DAMAGED: libdvdread crashed reading it (signal ...) while ...", and Lost() says so;
// damaged names what was read ("the image is damaged").
OpenedSource OpenInChild(const std::function<OpenedSource()>& open, const std::string& damaged);

}  // namespace ifoscan
