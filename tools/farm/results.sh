# Sourced by render-farm.sh: what came back from the hosts, read from the work
# directory ($WORK, its chunks.txt and GNU parallel's joblog.txt).

host_name() { [ "$1" = : ] && echo "this machine" || echo "$1"; }

# report_failure STATUS: one ERROR line for the first chunk that failed on every
# host it was tried on (the joblog keeps its last try), then the end of its log.
report_failure() {
  local failed seq host code signal n log where more
  failed=$(awk -F'\t' 'NR > 1 && ($7 != 0 || $8 != 0) { print $1 "\t" $2 "\t" $7 "\t" $8 }' "$WORK/joblog.txt" 2>/dev/null |
    sort -n)
  [ -n "$failed" ] || fail "GNU parallel stopped with status $1 before any chunk failed; the chunks so far are in $WORK"
  IFS=$'\t' read -r seq host code signal <<<"$(head -n1 <<<"$failed")"
  n=$(printf '%04d' "$seq")
  log="$WORK/chunk-$n.log"
  if [ -s "$log" ]; then where="see its log in $log"; else where="its log did not come back from $(host_name "$host")"; fi
  more=$(($(wc -l <<<"$failed") - 1))
  [ "$more" -eq 0 ] || where+=" ($more more chunk(s) failed too; their logs are beside it)"
  if [ -s "$log" ]; then
    echo "--- the end of $log:" >&2
    tail -n 5 "$log" | sed 's/^/  | /' >&2
  fi
  [ "$signal" = 0 ] && code="status $code" || code="signal $signal"
  fail "chunk $n failed on every host it was tried on, last on $(host_name "$host") ($code); $where"
}

# check_chunks: every chunk is home with its log and, where its length is known,
# all its frames, so that nothing short or missing is joined. Prints the number of
# frames of them all.
check_chunks() {
  local n expected frames host sum=0
  while read -r n _ _ expected; do
    host=$(awk -F'\t' -v seq="$((10#$n))" '$1 == seq { print $2 }' "$WORK/joblog.txt")
    [ -s "$WORK/chunk-$n.mkv" ] || fail "chunk $n did not come back from $(host_name "$host") to $WORK"
    [ -e "$WORK/chunk-$n.log" ] || fail "the log of chunk $n did not come back from $(host_name "$host") to $WORK"
    frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 \
      "$WORK/chunk-$n.mkv") || fail "ffprobe could not read $WORK/chunk-$n.mkv (from $(host_name "$host"))"
    if [ "$expected" != any ] && [ "$frames" != "$expected" ]; then
      fail "chunk $n from $(host_name "$host") holds $frames frames, not $expected; see its log in $WORK/chunk-$n.log"
    fi
    [ "$frames" -gt 0 ] || fail "chunk $n from $(host_name "$host") holds no frame; see its log in $WORK/chunk-$n.log"
    sum=$((sum + frames))
  done <"$WORK/chunks.txt"
  echo "$sum"
}

# remove_work: the files this run made, then the directory if nothing else is in it
# (--work may name a directory that holds other things).
remove_work() {
  local n
  while read -r n _; do rm -f "$WORK/chunk-$n.mkv" "$WORK/chunk-$n.log"; done <"$WORK/chunks.txt"
  rm -f "$WORK/chunks.txt" "$WORK/list.txt" "$WORK/joblog.txt"
  rmdir "$WORK" 2>/dev/null || echo "Note: kept $WORK, which holds files of its own"
}
