#pragma once

namespace ravlo {

// Which files a save writes: the Windows program's project.bat and the tools beside it, or the
// native planner's project.sh and movie.sh for the free tools of the Linux road. The road
// also decides the form of the record's paths (frame/paths.h).
enum class ProjectRoad { Batch, Shell };

}  // namespace ravlo
