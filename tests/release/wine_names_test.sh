#!/usr/bin/env bash
# No script or test starts Wine by a name of its own: Debian's `wine`, `winepath`, `wineboot`
# and `wine-stable` take the 32-bit loader whenever it is installed, even where it cannot run.
# Everything goes through scripts/wine-env.sh: "$RAVLO_WINE" PROGRAM, "$WINESERVER".
# Usage: wine_names_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
found=$(find scripts tests cmake -name '*.sh' ! -name wine-env.sh ! -name wine_names_test.sh -print0 | xargs -0 perl -ne '
  next if /^\s*#/ || /^\s*packages\+?=/;   # comments; the package list of install-deps.sh
  my $code = $_;
  $code =~ s/"\$RAVLO_WINE" (winepath|wineboot)//g;
  $code =~ s/"(?:(?!\$\()[^"])*"//g;      # quoted text, unless it runs a command
  print "$ARGV:$.: $_" if $code =~ /(?<![\w\/.\$-])(wine|wine64|wine-stable|wineboot|winepath|wineserver)(?=\s|\)|$)/;
  close ARGV if eof;')
if [ -n "$found" ]; then
  printf 'FAIL - Wine started by another name than wine-env.sh gives:\n%s' "$found"
  exit 1
fi
echo "every script starts Wine through wine-env.sh"
