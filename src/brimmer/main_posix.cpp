// brimmer, native build: the arguments joined by blanks stand for the Windows argument text.
#include <string>

#include "brimmer/brimmer_run.h"
#include "brimmer/folder_access.h"

int main(int argc, char** argv) {
  std::string argumentText;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argumentText += ' ';
    argumentText += argv[i];
  }
  brimmer::RunBrimmer(brimmer::ProgramFolder(), argumentText);
  return 0;
}
