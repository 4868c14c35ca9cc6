#pragma once
// The segments joined into one AVI without encoding again.
#include <string>
#include <vector>

namespace videopass {

// Joins the segment files into `out` (its list and log go to `folder`); "" or the reason it
// failed.
std::string Join(const std::string& out, const std::vector<std::string>& segments, const std::string& folder);

}  // namespace videopass
