#pragma once

#include <string_view>

namespace brimmer {

// True when name ends with "." + extension, letters compared without regard to case, as the
// "*.ext" patterns of Windows listings do ("Track.MP3" has extension "mp3", "a.mp3x" has not).
bool HasExtension(std::string_view name, std::string_view extension);

}  // namespace brimmer
