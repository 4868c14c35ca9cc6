#!/usr/bin/env bash
# project.sh with the video's segments on two machines: two sshd on 127.0.0.1, each with a
# port, a host key and a config of its own, logged into with a key made here, listed in a GNU
# parallel login file. Both passes run there, in parallel's folders, on the pieces sent out.
#   - the movie made on them has the frames of the movie made here (count, times, size) and
#     fills the medium within [99.5%, 100%];
#   - each sshd's log shows logins, and the segments' logs name the folder each ran in, which
#     is not the project's: the files travelled;
#   - a run where one sshd and everything it started are killed in the second pass still ends
#     with a whole movie.
# Skips (exit 77) only where sshd cannot start.
# Usage: road_nodes_test.sh BUILD_DIR DISCS_DIR
set -euo pipefail

source "$(dirname "$0")/road_lib.sh"
RoadStart road_nodes "$@"
ifo="$discs/disc_r/VIDEO_TS/VTS_01_0.IFO"
command -v parallel >/dev/null || { echo "FAILED: GNU parallel is not installed" >&2; exit 1; }
sshd=$(command -v sshd || echo /usr/sbin/sshd)
keys=$(mktemp -d)
sshd_pids=()
# The processes under PID, deepest first.
Tree() {
  local child
  for child in $(pgrep -P "$1" || true); do Tree "$child"; done
  echo "$1"
}
Stop() {  # Stop PID: the sshd and its sessions, with what they started
  local pid
  for pid in $(Tree "$1"); do kill -KILL "$pid" 2>/dev/null || true; done
  wait "$1" 2>/dev/null || true
}
Cleanup() {
  local pid
  for pid in "${sshd_pids[@]}"; do Stop "$pid"; done
  rm -rf "$keys"
}
trap Cleanup EXIT

# --- two machines ---
ssh-keygen -q -t ed25519 -N '' -C road-nodes -f "$keys/user"
cp "$keys/user.pub" "$keys/authorized_keys"
[ "$(id -u)" != 0 ] || mkdir -p /run/sshd  # sshd's privilege separation needs it
StartSshd() {  # StartSshd N: sshd N on a free port; sets port
  local n=$1 try pid
  ssh-keygen -q -t ed25519 -N '' -f "$keys/host$n"
  for try in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 40000))
    cat >"$keys/sshd$n.conf" <<CONF
Port $port
ListenAddress 127.0.0.1
HostKey $keys/host$n
PidFile none
AuthorizedKeysFile $keys/authorized_keys
UsePAM no
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
LogLevel VERBOSE
CONF
    : >"$keys/sshd$n.log"
    "$sshd" -D -f "$keys/sshd$n.conf" -E "$keys/sshd$n.log" &
    pid=$!
    for _ in $(seq 50); do
      grep -q 'Server listening' "$keys/sshd$n.log" && { sshd_pids+=("$pid"); return 0; }
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    Stop "$pid"
  done
  echo "skipped: sshd cannot start here: $(tail -n 1 "$keys/sshd$n.log")"
  exit 77
}
StartSshd 1; port1=$port
StartSshd 2; port2=$port
cat >"$keys/ssh_config" <<CONF
Host node1 node2
  HostName 127.0.0.1
  User $(id -un)
  IdentityFile $keys/user
  IdentitiesOnly yes
  StrictHostKeyChecking no
  UserKnownHostsFile /dev/null
  LogLevel ERROR
Host node1
  Port $port1
Host node2
  Port $port2
CONF
export PARALLEL_SSH="ssh -F $keys/ssh_config"
printf '# two machines, one job at a time each\n1/node1\n1/node2\n' >"$work/nodes"
for n in 1 2; do
  $PARALLEL_SSH "node$n" true || { echo "FAILED: no login on node$n: $(tail -n 3 "$keys/sshd$n.log")" >&2; exit 1; }
done
Logins() { grep -c 'Accepted publickey' "$keys/sshd$1.log" || true; }

Probe() {  # Probe MOVIE ENTRIES: one value a line
  ffprobe -v error -select_streams v:0 -show_entries "$2" -of csv=p=0 "$1"
}
Fill() {  # Fill FOLDER: the percentage of the 2 MB medium movie.avi and 0x80.mp3 take
  local total
  total=$(cd "$1" && cat movie.avi 0x80.mp3 | wc -c)
  awk -v t="$total" 'BEGIN { printf "%.3f", 100 * t / (2 * 1048576) }'
}
InWindow() { awk -v f="$1" 'BEGIN { exit !(f >= 99.5 && f <= 100) }'; }
Run() {  # Run NAME [VARIABLE=VALUE...]: project.sh of the folder NAME
  local name=$1; shift
  env "$@" "$work/$name/project.sh" >"$work/$name.txt" 2>&1
}

# --- the same plan made here and on the machines ---
# The plan names the machines; RAVLO3_NODES, empty, keeps the run here.
"$prefix/bin/ravlo3" --open "$ifo" --chain 2 --audio 0x80 --format mp3 --quality 128 --size 2 \
  --video xvid --container avi --set chkDelTemp=0 --nodes "$work/nodes" --save "$work/here" >"$work/save.txt"
cp -r "$work/here" "$work/there"
cp -r "$work/here" "$work/vanished"
Check "project.sh names the login file" grep -qF "nodes='$work/nodes'" "$work/here/project.sh"
before="$(Logins 1),$(Logins 2)"
Run here RAVLO3_NODES= || { cat "$work/here.txt" >&2; exit 1; }
Check "the run here logged into no machine" test "$(Logins 1),$(Logins 2)" = "$before"
before1=$(Logins 1) before2=$(Logins 2)
start=$(date +%s)
Run there || { cat "$work/there.txt" >&2; exit 1; }
echo "the run on the machines took $(($(date +%s) - start)) s"
Check "both machines were used ($(($(Logins 1) - before1)) and $(($(Logins 2) - before2)) logins)" \
  test "$(Logins 1)" -gt "$before1" -a "$(Logins 2)" -gt "$before2"
frames_here=$(Probe "$work/here/movie.avi" packet=pts | md5sum)
frames_there=$(Probe "$work/there/movie.avi" packet=pts | md5sum)
Check "the movie has the frames of the one made here ($(Probe "$work/there/movie.avi" packet=pts | wc -l))" \
  test "$frames_there" = "$frames_here"
Check "its picture has the same size" test "$(Probe "$work/there/movie.avi" stream=width,height)" = \
  "$(Probe "$work/here/movie.avi" stream=width,height)"
fill=$(Fill "$work/there")
Check "it fills $fill% of the medium (here: $(Fill "$work/here")%)" InWindow "$fill"
folders=$(sed -n 's/^videopass: video[12]\.[0-9]* on .* in \([^,]*\).*/\1/p' "$work/there"/segments/video[12].*.log | sort -u)
Check "each segment ran in a folder of parallel's, not the project's: $(echo $folders)" \
  test -n "$folders" -a -z "$(printf '%s\n' "$folders" | grep -Fx -e "$work/there" -e "" || true)"
source_bytes=$(wc -c <"$work/there/movie.vob")
pieces=$(sed -n 's/^videopass: video[12]\.[0-9] on .*, \([0-9]*\) bytes of movie\.vob$/\1/p' "$work/there"/segments/video[12].[0-9].log)
Check "each main segment took a piece of the $source_bytes-byte source along: $(echo $pieces)" \
  test "$(printf '%s\n' $pieces | awk -v all="$source_bytes" '$1 > 0 && $1 < all { n++ } END { print n + 0 }')" = 4
Check "no packed file is left" test -z "$(cd "$work/there/segments" && ls -- *.tar *.piece.* 2>/dev/null)"

# --- a machine vanishes in the second pass ---
set -m
RAVLO3_NODES="$work/nodes" "$work/vanished/project.sh" >"$work/vanished.txt" 2>&1 &
script=$!
set +m
killed=''
for _ in $(seq 1200); do
  if grep -q '^Video 2nd pass:' "$work/vanished/log.txt" 2>/dev/null &&
     Tree "${sshd_pids[1]}" | xargs -r ps -o comm= -p | grep -qx ffmpeg; then
    Stop "${sshd_pids[1]}"
    killed=1
    break
  fi
  kill -0 "$script" 2>/dev/null || break
  sleep 0.05
done
status=0
wait "$script" || status=$?
Check "node2 was killed while it encoded a segment of the second pass" test -n "$killed"
Check "the run ends well all the same ($status)" test "$status" = 0 || cat "$work/vanished.txt" >&2
Check "its movie has every frame" test "$(Probe "$work/vanished/movie.avi" packet=pts | md5sum)" = "$frames_here"
fill=$(Fill "$work/vanished")
Check "it fills $fill% of the medium" InWindow "$fill"

[[ $failures -eq 0 ]] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
