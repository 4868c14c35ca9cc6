#pragma once
// Closing the main window (File > Exit, the title bar, Alt+F4) while jobs run: the user is
// asked, and a job is ended before the planner goes, never left running unwatched.

class QMainWindow;

namespace ravlo {

void EndJobsOnClose(QMainWindow* window);

}  // namespace ravlo
