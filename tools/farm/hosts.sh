# Sourced by render-farm.sh: which of the --sshlogin hosts can render.
#
# A host that cannot be reached, or lacks rsync, the demo or the data at this
# machine's paths, is left out before the run with a note that says why, so that
# its share of the chunks goes to the others from the start. (GNU parallel's own
# --filter-hosts stops with an internal error on an unreachable host in the
# version Debian 12 ships.) A host that fails later is covered by --retries.

# check_host LOGIN DEMO DATA: prints "ready", or the reasons the host cannot render.
check_host() {
  local login=$1 demo data probe out
  demo=$(printf '%q' "$2")
  data=$(printf '%q' "$3/horn.mp3")
  probe="command -v rsync >/dev/null || echo 'rsync is not installed'; [ -x $demo ] || echo 'no demo program at '$demo; [ -f $data ] || echo 'no '$data; echo farm-probe-done"
  # ssh may wait a long time on a host that drops packets.
  out=$(timeout 60 parallel --sshlogin "$login" --nonall "$probe" 2>&1 </dev/null) || true
  if ! printf '%s\n' "$out" | grep -qx farm-probe-done; then
    printf 'cannot be reached (%s)\n' "$(printf '%s' "$out" | paste -sd ' ')"
  elif [ "$(printf '%s\n' "$out" | grep -cvx farm-probe-done)" -gt 0 ]; then
    printf 'is not ready: %s\n' "$(printf '%s\n' "$out" | grep -vx farm-probe-done | paste -sd ';' | sed 's/;/; /g')"
  else
    echo ready
  fi
}

# usable_logins DEMO DATA LOGIN...: checks the hosts at once and prints, one a
# line, the logins that can render; notes on the others go to standard error.
# ":" (this machine) is always usable.
usable_logins() {
  local demo=$1 data=$2 dir i login verdict
  shift 2
  dir=$(mktemp -d)
  i=0
  for login in "$@"; do
    i=$((i + 1))
    [ "$login" = : ] && { echo ready >"$dir/$i"; continue; }
    check_host "$login" "$demo" "$data" >"$dir/$i" &
  done
  wait
  i=0
  for login in "$@"; do
    i=$((i + 1))
    verdict=$(cat "$dir/$i")
    if [ "$verdict" = ready ]; then
      printf '%s\n' "$login"
    else
      echo "Note: leaving out host $login: it $verdict; its chunks go to the other hosts" >&2
    fi
  done
  rm -rf "$dir"
}
