# Sourced by bench_road.sh --codec CODEC: one run of the one-file road (CODEC in MKV) on a disc
# at a size, on both cores, against a plain two-pass of the same encoder (ffmpeg, one process a
# pass, the road's preset and chain, threads on all cores) at the bitrate the road ended with,
# and against our XviD road on the same medium. Prints the codec, the medium, the fill, both
# times and their ratio, the PSNR of the road and of the plain two-pass at the same size, and
# the PSNR and SSIM of the road against XviD's.
#   CodecRun DISC MB FOLDER

# Ssim MOVIE CHAIN: the mean SSIM (all planes) of MOVIE against movie.vob through CHAIN.
Ssim() {  # (the filter says its mean at the info level)
  ffmpeg -nostdin -hide_banner -nostats -y -i "$1" -i movie.vob -lavfi "[1:v:0]$2[ref];[0:v:0][ref]ssim" -an -sn -f null - 2>&1 |
    sed -n 's/.* All:\([0-9.]*\).*/\1/p' | tail -n 1
}

CodecRun() {
  local disc=$1 mb=$2 p=$3 x="$3/xvid" ifo="$bench/discs/$1-$seconds-v2/disc/VIDEO_TS/VTS_01_0.IFO"
  local ffcodec=libx264 pass
  [ "$codec" = hevc ] && ffcodec=libx265
  mkdir -p "$x"
  "$bench/install/bin/ravlo3" --open "$ifo" --chain 1 --audio 0x80 --format mp3 --quality 128 --size "$mb" \
    --video "$codec" --container mkv --set chkDelTemp=0 --set chkDelLogs=0 --save "$p" >/dev/null
  local start road fill bps crop chain movie
  start=$(Seconds)
  if ! "$p/project.sh" >"$p/run.txt" 2>&1; then
    printf '%-6s %-5s %5sM  failed: %s\n' "$disc" "$codec" "$mb" "$(grep 'project.sh:' "$p/run.txt" | tail -n 1)"
    echo "$disc $mb $codec failed" >>"$results"
    return 0
  fi
  road=$(Since "$start")
  movie=$(ls "$p"/*.mkv)
  fill=$(awk -v t="$(wc -c <"$movie")" -v m="$mb" 'BEGIN { printf "%.2f", 100 * t / (m * 1048576) }')
  # The bitrate the road's video ended with: its bytes over the title's length (H.265's second
  # pass asks two bitrates, one of the title up to a key frame and one of its end).
  bps=$(awk -v bytes="$(wc -c <"$p/segments/video.mkv")" '$1 == "fps" { fps = $2 } $1 == "frames" { n = $2 }
        END { printf "%.0f", bytes * 8 * fps / n }' "$p/segments/one_file.txt")
  crop=$(sed -n 's/.*\(crop=[0-9]*:[0-9]*:[0-9]*:[0-9]*\).*/\1/p' "$p/crop.log" | tail -n 1)
  chain="scale=640:360:flags=lanczos,$crop"

  # The floor: the same encoder, preset and chain in two plain passes, nothing else.
  local f="$p/plain"
  mkdir -p "$f"
  Plain() {  # Plain PASS BITRATE
    local words=(-c:v "$ffcodec" -preset medium -b:v "$2")
    if [ "$codec" = hevc ]; then words+=(-x265-params "log-level=error:pass=$1:stats=x265.log")
    else words+=(-pass "$1" -passlogfile x264); fi
    (cd "$f" && ffmpeg -nostdin -loglevel error -y -i ../movie.vob -map 0:v:0 -an -sn -vf "$chain" "${words[@]}" \
       -f matroska "$([ "$1" = 1 ] && echo /dev/null || echo movie.mkv)")
  }
  local first plain
  start=$(Seconds); Plain 1 "$bps"; first=$(Since "$start")
  start=$(Seconds); Plain 2 "$bps"
  plain=$(awk -v a="$first" -v b="$(Since "$start")" 'BEGIN { printf "%.1f", a + b }')
  # For the PSNR at the same size, the plain second pass is made again (untimed) until its video
  # is within 1% of the road's.
  local want size again
  want=$(wc -c <"$p/segments/video.mkv")
  for again in 1 2 3; do
    size=$(wc -c <"$f/movie.mkv")
    awk -v a="$size" -v b="$want" 'BEGIN { exit !(a < 0.99 * b || a > 1.01 * b) }' || break
    bps=$(awk -v r="$bps" -v a="$size" -v b="$want" 'BEGIN { printf "%.0f", r * b / a }')
    Plain 2 "$bps"
  done

  # Our XviD road on the same medium.
  "$bench/install/bin/ravlo3" --open "$ifo" --chain 1 --audio 0x80 --format mp3 --quality 128 --size "$mb" \
    --video xvid --container avi --set chkDelTemp=0 --set chkDelLogs=0 --save "$x" >/dev/null
  "$x/project.sh" >"$x/run.txt" 2>&1 || { echo "bench: the XviD road failed on $disc at $mb MB" >&2; return 1; }

  local ratio psnrRoad psnrPlain psnrXvid ssimRoad ssimXvid
  ratio=$(awk -v a="$road" -v b="$plain" 'BEGIN { printf "%.2f", a / b }')
  psnrRoad=$(cd "$p" && Psnr "$movie" "$chain" psnr.txt)
  psnrPlain=$(cd "$p" && Psnr plain/movie.mkv "$chain" plain/psnr.txt)
  psnrXvid=$(cd "$p" && Psnr xvid/movie.avi "$chain" xvid/psnr.txt)
  ssimRoad=$(cd "$p" && Ssim "$movie" "$chain")
  ssimXvid=$(cd "$p" && Ssim xvid/movie.avi "$chain")
  printf '%-6s %-5s %5sM %6s%% %7ss %7ss %6s %10s %11s %10s %9s %9s\n' "$disc" "$codec" "$mb" "$fill" "$road" "$plain" \
    "$ratio" "$psnrRoad" "$psnrPlain" "$psnrXvid" "$ssimRoad" "$ssimXvid"
  echo "$disc $mb $codec $road $plain $ratio $fill $psnrRoad $psnrPlain $psnrXvid $ssimRoad $ssimXvid" >>"$results"
}

CodecSummary() {
  awk '
    function median(a, n,   i, j, t) { for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
                                       return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
    $4 == "failed" { failed++; next }
    { r[++n] = $6; if ($6 > worst) worst = $6
      if ($7 < 99.5 || $7 > 100) outside++
      loss = $9 - $8; if (loss > worstLoss) worstLoss = loss
      gain = $8 - $10; if (n == 1 || gain < leastGain) leastGain = gain; sumGain += gain
      sgain = $11 - $12; if (n == 1 || sgain < leastSsim) leastSsim = sgain }
    END {
      printf "median time ratio %.2f, worst %.2f (target <= 1.10)\n", median(r, n), worst
      printf "fills outside [99.5, 100]: %d of %d; runs failed: %d\n", outside, n, failed
      printf "worst PSNR loss against the plain two-pass: %.2f dB (target <= 0.15)\n", worstLoss
      printf "PSNR over our XviD at the same medium: mean %+.2f dB, least %+.2f dB; SSIM least %+.4f\n", sumGain / n, leastGain, leastSsim }' "$results"
}
