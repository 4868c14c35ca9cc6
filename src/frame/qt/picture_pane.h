#pragma once
// The Linux Video page's look at the picture: a frame of the chosen chain at a few places
// (stepped through with Earlier and Later), as the job scales it, with the crop the job's
// AutoCrop finds drawn on it, and the chain's chapters with their start times. The frames come
// from vobtitle (a megabyte of the chain at each place) and ffmpeg, in the background, whenever
// the disc, the chain, the angle or the resize and crop choices change.

class QWidget;

namespace ravlo {

struct AppState;

// The pane, named "picturePane"; its parts are "picFrame" (the picture), "cmdEarlier",
// "cmdLater", "lblPlace", "lblCrop" and "lstChapters".
QWidget* CreatePicturePane(AppState& app, QWidget* parent);

}  // namespace ravlo
