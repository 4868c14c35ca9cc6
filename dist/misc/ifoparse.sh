#!/bin/sh
# Writes the IFO report for ravlo3 with ifoscan from the programs' folder.
# Arguments: DVD-TOOL-PATH IFO-PATH REPORT-PATH; the DVD tool is not needed on this road.
here=$(dirname "$0")
exec "$here/../../../bin/ifoscan" "$2" "$3"
