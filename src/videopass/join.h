#pragma once
// The segments joined into one AVI without encoding again.
#include <string>
#include <vector>

namespace videopass {

// Joins the segment files into `out` (its list, log and progress go to `folder`); "" or the
// reason it failed. With `frames` given, the joined movie must hold exactly that many.
std::string Join(const std::string& out, const std::vector<std::string>& segments, const std::string& folder,
                 long frames = -1);

}  // namespace videopass
