#!/bin/sh
# Writes the IFO report for ravlo3 with ifoscan from the programs' folder.
# Arguments: DVD-TOOL-PATH IFO-PATH REPORT-PATH; the DVD tool is not needed on this road.
# ravlo3 also puts the IFO path, in its own form ("\" between the parts), into RAVLO3_IFO.
# ifoscan's reason for writing no report goes beside the report, for ravlo3 to show.
here=$(dirname "$0")
ifo=$2
[ -n "${RAVLO3_IFO:-}" ] && ifo=$(printf '%s\n' "$RAVLO3_IFO" | tr '\\' '/')
exec "$here/../../../bin/ifoscan" "$ifo" "$3" 2>"${3%.*}.err"
