# The render farm over ssh, with hosts that are sshds on 127.0.0.1:
#  - farm-private sees an empty work directory of its own (a tmpfs in its own mount
#    namespace), and farm-down cannot be reached: the run finishes on farm-private,
#    every chunk's video and log come home, and the joined frames are one capture's;
#  - farm-shared sees this machine's files, and this machine fails every chunk: each
#    is tried again on farm-shared, whose copying back and cleaning up must leave
#    the shared work directory whole for the join;
#  - a chunk that fails on every host ends the run with one ERROR line that names
#    the chunk, the host and its log, and nothing is joined.
source "$3/lib.sh"
source "$3/ssh_hosts.sh"
unset DISPLAY
skip_without_ssh_hosts
FARM="$3/../../tools/farm/render-farm.sh"
DATA="$(dirname "$DEMO")/data"
RANGE=(--from 21.6 --to 22.8 --fps 10 --size 160x120 --render-width 64)
FARM_DIR=$SCRATCH/farm
mkdir -p "$FARM_DIR"

# The demo as every host runs it: it fails where $SCRATCH/fail says (on this
# machine, which no session passes through, or for one chunk's start).
cat >"$SCRATCH/demo" <<EOF
#!/bin/sh
case "\$(cat $SCRATCH/fail 2>/dev/null)" in
  local) [ -n "\${FARM_TEST_HOST:-}" ] || { echo "ERROR: test: this machine fails every chunk" >&2; exit 3; } ;;
  from=*) case " \$* " in *" --from \$(sed 's/^from=//' $SCRATCH/fail) "*) echo "ERROR: test: this chunk fails" >&2; exit 3 ;; esac ;;
esac
exec "$DEMO" "\$@"
EOF
chmod +x "$SCRATCH/demo"

init_ssh_hosts
start_ssh_host farm-private "$FARM_DIR"
start_ssh_host farm-shared
add_ssh_name farm-down 1 # nothing listens on port 1

frames() { ffmpeg -v error -i "$1" -map 0:v -f framemd5 - | grep -v '^#' | awk -F, '{print $NF}'; }
(cd "$DATA" && "$DEMO" --capture "$SCRATCH/one.mkv" "${RANGE[@]}" >"$SCRATCH/out" 2>"$SCRATCH/err") ||
  fail "capture failed"
frames "$SCRATCH/one.mkv" >"$SCRATCH/one.md5"
[ "$(wc -l <"$SCRATCH/one.md5")" -eq 12 ] || fail "the capture has $(wc -l <"$SCRATCH/one.md5") frames, not 12"

# farm OUT ARGS...: the farm with the test's demo, output to out/err.
farm() {
  local out=$1
  shift
  "$FARM" --demo "$SCRATCH/demo" --data "$DATA" "$@" "$out" >"$SCRATCH/out" 2>"$SCRATCH/err"
}

# A private host and an unreachable one.
farm "$FARM_DIR/private.mkv" "${RANGE[@]}" --chunk 0.3 --sshlogin 2/farm-private --sshlogin farm-down --keep ||
  fail "the farm with a private and an unreachable host failed"
grep -q "^Note: leaving out host farm-down: it cannot be reached" "$SCRATCH/err" || fail "no note on the unreachable host"
grep -qx "Progress: 4 of 4 chunks done (farm-private: 4)" "$SCRATCH/out" || fail "no progress line of the whole run"
for n in 0001 0002 0003 0004; do
  [ -s "$FARM_DIR/private.chunks/chunk-$n.mkv" ] || fail "chunk $n's video did not come home"
  grep -q "(3 frames)" "$FARM_DIR/private.chunks/chunk-$n.log" || fail "chunk $n's log did not come home"
done
frames "$FARM_DIR/private.mkv" | cmp -s - "$SCRATCH/one.md5" || fail "the private host's frames differ from one capture's"
left=$(ssh -F "$SSH_DIR/config" farm-private 'ls -A "$HOME/.parallel/tmp" 2>/dev/null || :') ||
  fail "cannot look at farm-private"
[ -z "$left" ] || fail "farm-private kept its job directories: $left"

# A host sharing the work directory, taking over the chunks this machine fails.
echo local >"$SCRATCH/fail"
farm "$FARM_DIR/shared.mkv" "${RANGE[@]}" --chunk 0.6 --sshlogin : --sshlogin farm-shared ||
  fail "the farm with a shared host failed"
grep -qx "Progress: 2 of 2 chunks done (farm-shared: 2)" "$SCRATCH/out" || fail "not every chunk was rendered on farm-shared"
frames "$FARM_DIR/shared.mkv" | cmp -s - "$SCRATCH/one.md5" || fail "the shared host's frames differ from one capture's"
[ ! -e "$FARM_DIR/shared.chunks" ] || fail "the chunks were not removed"

# A chunk that fails everywhere.
echo from=21.900000 >"$SCRATCH/fail"
farm "$FARM_DIR/failed.mkv" --from 21.6 --to 22.2 --fps 10 --size 160x120 --render-width 64 --chunk 0.3 \
  --sshlogin : --sshlogin farm-shared && fail "the farm succeeded with a chunk that fails everywhere"
[ "$(grep -c '^ERROR: ' "$SCRATCH/err")" -eq 1 ] || fail "not exactly one ERROR line"
error=$(grep '^ERROR: ' "$SCRATCH/err")
log="$FARM_DIR/failed.chunks/chunk-0002.log"
case "$error" in
  "ERROR: chunk 0002 failed on every host it was tried on, last on this machine (status 3); see its log in $log") ;;
  "ERROR: chunk 0002 failed on every host it was tried on, last on farm-shared (status 3); see its log in $log") ;;
  *) fail "the ERROR line does not name the chunk, the host and the log: $error" ;;
esac
grep -q "this chunk fails" "$log" || fail "the failed chunk's log does not say why"
[ ! -e "$FARM_DIR/failed.mkv" ] || fail "a video was joined without the failed chunk"
echo "ok"
