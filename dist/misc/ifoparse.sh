#!/bin/sh
# Writes the IFO report for ravlo3 with ifoscan from the programs' folder.
# Arguments: DVD-TOOL-PATH IFO-PATH REPORT-PATH; the DVD tool is not needed on this road.
# ravlo3 also puts the IFO path into RAVLO3_IFO, exactly as it is (a path holding a quotation
# mark does not survive the command line; a backslash is a character of its names), and a
# title set the user named into RAVLO3_TITLE_SET. The path may also name a disc folder, an ISO
# image or a drive: ifoscan then writes beside the report which title set and chain it chose
# (the main feature, or the longest chain of the named title set).
# ifoscan's reason for writing no report goes beside the report, for ravlo3 to show; so does
# the signal that ended it, as a program killed by one says nothing itself.
here=$(dirname "$0")
ifo=${RAVLO3_IFO:-$2}
errors=${3%.*}.err
"$here/../../../bin/ifoscan" ${RAVLO3_TITLE_SET:+--title-set "$RAVLO3_TITLE_SET"} \
  --choice "${3%.*}.choice" "$ifo" "$3" 2>"$errors"
code=$?
if [ "$code" -gt 128 ]; then
  echo "ifoscan ended on signal $(kill -l "$code") while reading $ifo" >>"$errors"
fi
exit "$code"
