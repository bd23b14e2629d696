# Sourced by the render farm's ssh test, after lib.sh: hosts on 127.0.0.1, each an
# sshd of its own (own port, loopback only) that the test's key logs in to. GNU
# parallel and its rsync reach them by name through $SSH_DIR/config (PARALLEL_SSH).
# Every sshd ends by itself after SSH_HOST_LIFETIME seconds, should the test die.
SSH_DIR=$SCRATCH/ssh
SSH_HOST_LIFETIME=${SSH_HOST_LIFETIME:-900}
SSH_HOST_PIDS=()
trap 'kill "${SSH_HOST_PIDS[@]}" 2>/dev/null; wait; cleanup' EXIT

# skip_without_ssh_hosts: says why the test cannot run here and counts it as skipped.
skip_without_ssh_hosts() {
  local why=""
  [ "$(id -u)" -eq 0 ] || why="root (it starts its own sshd and mounts in a private namespace)"
  [ -n "$why" ] || [ -x /usr/sbin/sshd ] || why="OpenSSH's server (apt install openssh-server)"
  [ -n "$why" ] || command -v rsync >/dev/null || why="rsync (apt install rsync)"
  [ -n "$why" ] || unshare -m true 2>/dev/null || why="mount namespaces (unshare -m)"
  [ -z "$why" ] && return 0
  echo "SKIP: the render farm's ssh test needs $why"
  exit 77
}

# init_ssh_hosts: keys, the client's settings, and the session wrapper, which gives a
# host with a file system of its own (FARM_TEST_HOME set) its home inside that.
init_ssh_hosts() {
  mkdir -p "$SSH_DIR" /run/sshd || fail "making $SSH_DIR"
  ssh-keygen -q -t ed25519 -N '' -f "$SSH_DIR/host_key" && ssh-keygen -q -t ed25519 -N '' -f "$SSH_DIR/client_key" ||
    fail "ssh-keygen"
  cat >"$SSH_DIR/config" <<EOF
Host *
  HostName 127.0.0.1
  User $(id -un)
  IdentityFile $SSH_DIR/client_key
  IdentitiesOnly yes
  UserKnownHostsFile $SSH_DIR/known_hosts
  BatchMode yes
  ConnectTimeout 10
  ControlMaster auto
  ControlPath $SSH_DIR/%C.socket
  ControlPersist 30
EOF
  printf '#!/bin/sh\n[ -z "$FARM_TEST_HOME" ] || { export HOME="$FARM_TEST_HOME"; mkdir -p "$HOME"; cd "$HOME"; }
exec /bin/sh -c "$SSH_ORIGINAL_COMMAND"\n' >"$SSH_DIR/session.sh"
  chmod +x "$SSH_DIR/session.sh"
  export PARALLEL_SSH="ssh -F $SSH_DIR/config"
}

# add_ssh_name NAME PORT: NAME reaches port PORT (entries come before "Host *").
add_ssh_name() {
  sed -i "1i Host $1\n  Port $2" "$SSH_DIR/config"
  echo "[127.0.0.1]:$2 $(cat "$SSH_DIR/host_key.pub")" >>"$SSH_DIR/known_hosts"
}

# start_ssh_host NAME [PRIVATE_DIR]: an sshd for NAME. With PRIVATE_DIR, the sshd and
# its sessions live in a mount namespace of their own with an empty tmpfs over that
# directory: a host whose files there are not this machine's.
start_ssh_host() {
  local name=$1 private=${2:-} port log=$SSH_DIR/$1.log
  for _ in $(seq 10); do
    port=$((20000 + RANDOM % 40000))
    printf '%s\n' "ListenAddress 127.0.0.1" "Port $port" "HostKey $SSH_DIR/host_key" "PidFile none" \
      "AuthorizedKeysFile $SSH_DIR/client_key.pub" "StrictModes no" "UsePAM no" "PasswordAuthentication no" \
      "SetEnv FARM_TEST_HOST=$name ${private:+FARM_TEST_HOME=$private/home}" "ForceCommand $SSH_DIR/session.sh" \
      >"$SSH_DIR/$name.conf"
    timeout "$SSH_HOST_LIFETIME" unshare -m sh -c '[ -z "$1" ] || mount -t tmpfs farm-test "$1" &&
      exec /usr/sbin/sshd -D -e -f "$2"' sh "$private" "$SSH_DIR/$name.conf" >"$log" 2>&1 &
    SSH_HOST_PIDS+=($!)
    for _ in $(seq 100); do
      grep -q "Server listening" "$log" && { add_ssh_name "$name" "$port"; return 0; }
      kill -0 $! 2>/dev/null || break
      sleep 0.1
    done
    grep -q "Address already in use" "$log" || fail "sshd for $name did not start: $(cat "$log")"
  done
  fail "no free port for the sshd of $name"
}
