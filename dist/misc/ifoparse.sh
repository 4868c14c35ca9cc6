#!/bin/sh
# Writes the IFO report for ravlo3 with ifoscan from the programs' folder.
# Arguments: DVD-TOOL-PATH IFO-PATH REPORT-PATH; the DVD tool is not needed on this road.
# ravlo3 also puts the IFO path into RAVLO3_IFO, exactly as it is: a path holding a quotation
# mark does not survive the command line. A backslash is a character of its names.
# ifoscan's reason for writing no report goes beside the report, for ravlo3 to show.
here=$(dirname "$0")
ifo=${RAVLO3_IFO:-$2}
exec "$here/../../../bin/ifoscan" "$ifo" "$3" 2>"${3%.*}.err"
