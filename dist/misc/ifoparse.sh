#!/bin/sh
# Writes the IFO report for ravlo3 with ifoscan from the programs' folder.
# Arguments: DVD-TOOL-PATH IFO-PATH REPORT-PATH; the DVD tool is not needed on this road.
# ifoscan's reason for writing no report goes beside the report, for ravlo3 to show.
here=$(dirname "$0")
exec "$here/../../../bin/ifoscan" "$2" "$3" 2>"${3%.*}.err"
