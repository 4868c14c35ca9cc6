#pragma once
// The pages are laid out in dialog units for the window's own size. When the user makes the
// window taller, the lists (the streams) take the height: each list, the frames around it and
// whatever lies below a list in its frame follow the page's height. Wider, everything keeps its
// place.

class QWidget;

namespace ravlo {

void StretchListsWithPage(QWidget* page);

}  // namespace ravlo
