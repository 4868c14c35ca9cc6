#!/usr/bin/env bash
# Whole discs on the Linux road, through the installed programs: an ISO image made with
# genisoimage -dvd-video and a disc folder open alike; --list shows the chains and marks the
# main feature; with no --chain the longest chain is taken; the movie made from the image is
# the movie made from the folder. The IFO reports of every title set are the same whichever
# way the IFO is read: as a file, through libdvdread from the folder, or from an image. A title
# whose packs are marked scrambled (a copy-protected disc) is refused with a plain reason, and
# so are damaged discs (a UDF entry that crashes libdvdread, a title set without chains, a
# chain time out of range), by every reader and the planner alike.
# Usage: disc_sources_test.sh BUILD_DIR DISCS_DIR   (DISCS_DIR holds disc_m, disc_m.iso and
# the sample discs disc_a, disc_b, disc_c)
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart disc_sources "$@"
bin="$prefix/bin"
Same() { cmp -s "$1" "$2" || { diff "$1" "$2" >&2; false; }; }
Probe() {  # Probe FILE ENTRIES: the values, comma-separated
  ffprobe -v error -count_frames -select_streams v:0 -show_entries "$2" -of csv=p=0 "$1"
}

# --- the same reports, whichever way the IFO is read ---
for disc in disc_a disc_b disc_c disc_m; do
  [[ -f "$work/$disc.iso" ]] || genisoimage -quiet -dvd-video -o "$work/$disc.iso" "$discs/$disc"
  for ifo in "$discs/$disc"/VIDEO_TS/VTS_0?_0.IFO; do
    name=$(basename "$ifo") set=$((10#$(basename "$ifo" | cut -c5-6)))
    "$bin/ifoscan" "$ifo" "$work/file.txt"
    "$bin/ifoscan" --title-set "$set" "$discs/$disc" "$work/folder.txt"
    "$bin/ifoscan" "$work/$disc.iso/VIDEO_TS/$name" "$work/image.txt"
    Check "$disc $name: the folder read through libdvdread gives the file's report" Same "$work/file.txt" "$work/folder.txt"
    Check "$disc $name: the image gives the file's report" Same "$work/file.txt" "$work/image.txt"
  done
done

# --- --list: the image and the folder ---
"$bin/ravlo3" --list "$work/disc_m.iso" >"$work/list_iso.txt"
"$bin/ravlo3" --list "$discs/disc_m" >"$work/list_folder.txt"
Check "--list names the four chains of both title sets" test "$(grep -c '^title set [12], chain [12]: ' "$work/list_iso.txt")" = 4
Check "--list marks the 6 s chain of title set 2 as the main feature" test \
  "$(grep '(main feature)$' "$work/list_iso.txt")" = \
  "title set 2, chain 2: 0:00:06, 2 chapters; audio 0x80 English, 0x81 French; subtitles 0x20 English (main feature)"
Check "--list says the same of the folder" Same "$work/list_iso.txt" "$work/list_folder.txt"
set +e
"$bin/ravlo3" --list "$work/none.iso" >/dev/null 2>"$work/none.txt"
code=$?
set -e
Check "--list of a missing image ends with exit code 1 ($code)" test "$code" = 1
Check "... and says the system's reason" grep -q "none.iso: No such file or directory" "$work/none.txt"

# --- the main feature from the image and from the folder ---
Movie() {  # Movie NAME PATH OPTION...: saves and runs a project
  local project="$work/$1" path=$2; shift 2
  mkdir -p "$project"
  "$bin/ravlo3" --open "$path" "$@" --audio 0x80,0x81 --subtitles 0x20 --format mp3 --size 2 --video xvid --container avi \
    --set chkDelTemp=0 --save "$project" >"$project.save.txt" 2>&1 || { cat "$project.save.txt" >&2; return 1; }
  "$project/project.sh" >"$project.run.txt" 2>&1 || { cat "$project.run.txt" >&2; return 1; }
}
Movie from_image "$work/disc_m.iso"
Movie from_folder "$discs/disc_m/VIDEO_TS"
Check "the image's project reads title set 2 from the image, chain 2" \
  grep -qxF "ifo='$work/disc_m.iso/VIDEO_TS/VTS_02_0.IFO'" "$work/from_image/project.sh"
Check "... and takes chain 2" grep -qx "chain=2" "$work/from_image/project.sh"
Check "the folder's project reads the title set's IFO in the folder, chain 2" \
  grep -qxF "ifo='$discs/disc_m/VIDEO_TS/VTS_02_0.IFO'" "$work/from_folder/project.sh"
Check "nothing of the image is unpacked but the chain's stream (movie.vob)" test \
  "$(cd "$work/from_image" && ls | grep -i '\.\(vob\|ifo\|bup\|iso\)$' | tr '\n' ' ')" = "movie.vob "
Check "the chain's stream from the image is the one from the folder" \
  Same "$work/from_image/movie.vob" "$work/from_folder/movie.vob"
image=$(Probe "$work/from_image/movie.avi" stream=nb_read_frames:format=duration | tr '\n' ' ')
folder=$(Probe "$work/from_folder/movie.avi" stream=nb_read_frames:format=duration | tr '\n' ' ')
Check "the movies have the same frames and length ($image/$folder)" test "$image" = "$folder"
Check "... the 6 s of the main feature" awk -v f="$image" 'BEGIN { split(f, v, " "); exit !(v[1] == 150 && v[2] > 5.9 && v[2] < 6.1) }'
for file in 0x80.mp3 0x81.mp3; do
  a=$(ffprobe -v error -show_entries format=duration:stream=codec_name -of csv=p=0 "$work/from_image/$file" | tr '\n' ' ')
  b=$(ffprobe -v error -show_entries format=duration:stream=codec_name -of csv=p=0 "$work/from_folder/$file" | tr '\n' ' ')
  Check "$file is the same from both ($a)" test "$a" = "$b"
done
Check "the subtitle index is the same from both" Same "$work/from_image/movie.idx" "$work/from_folder/movie.idx"

# --- another title set ---
mkdir -p "$work/set_one"
"$bin/ravlo3" --open "$work/disc_m.iso" --title-set 1 --audio 0x80 --format mp3 --size 2 --video xvid --container avi --save "$work/set_one" >/dev/null
Check "--title-set 1 reads title set 1 of the image" \
  grep -qxF "ifo='$work/disc_m.iso/VIDEO_TS/VTS_01_0.IFO'" "$work/set_one/project.sh"
Check "... at its longest chain (4 s, chain 2)" grep -qx "chain=2" "$work/set_one/project.sh"

# --- an encrypted disc: its packs marked scrambled, as a copy-protected disc's are ---
cp -r "$discs/disc_m" "$work/locked"
chmod -R u+w "$work/locked"
perl -e 'open(my $f, "+<", $ARGV[0]) or die; binmode $f;
  for (my $at = 0; read($f, my $head, 21) == 21; $at += 2048) {
    if (substr($head, 0, 4) eq "\0\0\1\xBA" && (ord(substr($head, 13, 1)) & 7) == 0 &&
        substr($head, 14, 3) eq "\0\0\1" && ord(substr($head, 17, 1)) != 0xBB) {
      seek($f, $at + 20, 0); print $f chr(ord(substr($head, 20, 1)) | 0x10);
    }
    seek($f, $at + 2048, 0);
  }' "$work/locked/VIDEO_TS/VTS_02_1.VOB"
genisoimage -quiet -dvd-video -o "$work/locked.iso" "$work/locked"
for path in "$work/locked/VIDEO_TS/VTS_02_0.IFO" "$work/locked.iso"; do
  set +e
  "$bin/ifoscan" "$path" "$work/locked.txt" 2>"$work/locked.err"
  code=$?
  set -e
  Check "$(basename "$path"): the analysis refuses the encrypted title (exit code $code)" test "$code" = 1 -a ! -e "$work/locked.txt"
  Check "... and says so plainly" grep -q "the title is encrypted" "$work/locked.err"
done
"$bin/ravlo3" --list "$work/locked.iso" >"$work/locked_list.txt"
Check "--list still shows the chains of the encrypted disc" Same "$work/list_iso.txt" "$work/locked_list.txt"
set +e
"$bin/vobtitle" "$work/locked.iso" 2 1 --stream "$work/locked.vob" 2>"$work/locked.err"
code=$?
set -e
Check "vobtitle refuses the encrypted title too (exit code $code), writing nothing" test "$code" = 1 -a ! -e "$work/locked.vob"
Check "... and says so plainly" grep -q "the title is encrypted" "$work/locked.err"

# --- damaged discs: every reader refuses them with the reason, and writes nothing ---
U32() { od -An -tu1 -j "$2" -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }'; }
Poke() { printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }  # Poke FILE OFFSET BYTES
# The image's root directory entry for AUDIO_TS (a UDF file identifier descriptor, tag 257)
# claims 0xFFFF bytes of implementation use, which sends libdvdread's directory walk far past
# its buffer.
cp "$work/disc_m.iso" "$work/damaged.iso"
entry=$(perl -0777 -ne 'while (/\x08AUDIO_TS/g) { my $fid = pos() - 9 - 38;
  if ($fid >= 0 && substr($_, $fid, 2) eq "\x01\x01") { print $fid + 36; exit } }' "$work/damaged.iso")
Check "the image has a UDF entry for AUDIO_TS (its length of implementation use at byte $((entry / 2048))*2048+$((entry % 2048)))" \
  test -n "$entry"
Poke "$work/damaged.iso" "$entry" '\xff\xff'
# A title set whose chain table counts no chain; one whose first chain lasts 72:78:06.
for copy in no_chain bad_time; do
  rm -rf "${work:?}/$copy"
  cp -r "$discs/disc_m" "$work/$copy"
  chmod -R u+w "$work/$copy"
done
ifo=$work/no_chain/VIDEO_TS/VTS_01_0.IFO
table=$(($(U32 "$ifo" 204) * 2048))
Poke "$ifo" "$table" '\0\0'
ifo=$work/bad_time/VIDEO_TS/VTS_01_0.IFO
table=$(($(U32 "$ifo" 204) * 2048))
Poke "$ifo" $((table + $(U32 "$ifo" $((table + 12))) + 4)) '\x72\x78\x06'
while IFS='|' read -r what path reason; do
  rm -rf "${work:?}"/refused*
  set +e
  "$bin/ifoscan" --list "$path" >"$work/refused.list" 2>"$work/refused.list.err"
  list=$?
  "$bin/ifoscan" --choice "$work/refused.choice" "$path" "$work/refused.txt" 2>"$work/refused.err"
  report=$?
  "$bin/vobtitle" "$path" 1 1 --stream "$work/refused.vob" 2>"$work/refused.vob.err"
  title=$?
  "$bin/ravlo3" --open "$path" --audio 0x80 --size 2 --save "$work/refused" >/dev/null 2>"$work/refused.plan.err"
  plan=$?
  set -e
  Check "$what: ifoscan --list ends with exit code 1 ($list), listing nothing" test "$list" = 1 -a ! -s "$work/refused.list"
  Check "... ifoscan ends with exit code 1 ($report), writing no report and no choice" \
    test "$report" = 1 -a ! -e "$work/refused.txt" -a ! -e "$work/refused.choice"
  Check "... vobtitle ends with exit code 1 ($title), writing nothing" test "$title" = 1 -a ! -e "$work/refused.vob"
  Check "... ravlo3 --open ends with exit code 1 ($plan), saving nothing" test "$plan" = 1 -a ! -e "$work/refused/project.sh"
  for said in list.err err vob.err plan.err; do
    Check "... its refusal ($said) names $(basename "$path") and says: $reason" grep -qF "$path: $reason" "$work/refused.$said"
  done
done <<EOF
an image with a damaged directory entry|$work/damaged.iso|the image is damaged: libdvdread crashed reading it (signal 11, Segmentation fault)
a title set without a chain|$work/no_chain/VIDEO_TS/VTS_01_0.IFO|the title set has no program chain
a chain lasting 72:78:06|$work/bad_time/VIDEO_TS/VTS_01_0.IFO|program chain 1 has the playback time 72:78:06, which is no time
EOF

# A reader killed by a signal says nothing itself; the planner still says what ended it.
mv "$bin/ifoscan" "$bin/ifoscan.real"
printf '#!/bin/sh\nkill -SEGV $$\n' >"$bin/ifoscan"
chmod +x "$bin/ifoscan"
set +e
"$bin/ravlo3" --open "$discs/disc_m" --save "$work/refused" >/dev/null 2>"$work/refused.plan.err"
set -e
mv "$bin/ifoscan.real" "$bin/ifoscan"
Check "a reader ended by a signal: ravlo3 --open says so" \
  grep -qF "ifoscan ended on signal SEGV while reading $discs/disc_m" "$work/refused.plan.err"

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
