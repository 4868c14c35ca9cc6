#pragma once
// The name a disc goes by, for the one movie file made of it: the volume label of an image or
// a drive ("THE_FILM"), else the name of the disc's folder (the one holding VIDEO_TS).

#include <string>

namespace ravlo {

// From the title set's path (IMAGE/VIDEO_TS/VTS_01_0.IFO, FOLDER/VIDEO_TS/VTS_01_0.IFO or an
// IFO elsewhere). The name is fit for a file: letters, digits, '_', '-' and '.' (not first);
// every other character becomes '_'. "movie" when nothing is left.
std::string DiscName(const std::string& ifoPath);

// The same rule for a name already found (a volume label, a folder's name).
std::string FileNameStem(const std::string& name);

}  // namespace ravlo
