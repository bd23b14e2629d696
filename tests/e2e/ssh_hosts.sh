# Sourced by the render farm's ssh test, after lib.sh: hosts on 127.0.0.1, each
# an sshd of its own (own host key, own port, loopback only) that the test's key
# logs in to as this user. GNU parallel (and the rsync it runs) reach them by name
# through $SCRATCH/ssh/config, which PARALLEL_SSH points at. Every sshd ends by
# itself after SSH_HOST_LIFETIME seconds, should the test die before its cleanup.
SSH_DIR=$SCRATCH/ssh
SSH_HOST_LIFETIME=${SSH_HOST_LIFETIME:-900}
SSH_HOST_PIDS=()

stop_ssh_hosts() {
  local pid
  for pid in "${SSH_HOST_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${SSH_HOST_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  SSH_HOST_PIDS=()
}
trap 'stop_ssh_hosts; cleanup' EXIT

# skip_without_ssh_hosts: the test needs root (its sshd, its mount namespaces) and
# OpenSSH's server; without them it says so and is counted as skipped.
skip_without_ssh_hosts() {
  local what=""
  [ "$(id -u)" -eq 0 ] || what="root (it starts its own sshd and mounts in a private namespace)"
  [ -z "$what" ] && [ ! -x /usr/sbin/sshd ] && what="OpenSSH's server (apt install openssh-server)"
  [ -z "$what" ] && ! command -v rsync >/dev/null && what="rsync (apt install rsync)"
  [ -z "$what" ] && ! unshare -m true 2>/dev/null && what="mount namespaces (unshare -m)"
  [ -z "$what" ] && return 0
  echo "SKIP: the render farm's ssh test needs $what"
  exit 77
}

# init_ssh_hosts: keys and the client's configuration.
init_ssh_hosts() {
  mkdir -p "$SSH_DIR" /run/sshd || fail "making $SSH_DIR"
  ssh-keygen -q -t ed25519 -N '' -f "$SSH_DIR/host_key" || fail "ssh-keygen"
  ssh-keygen -q -t ed25519 -N '' -f "$SSH_DIR/client_key" || fail "ssh-keygen"
  cp "$SSH_DIR/client_key.pub" "$SSH_DIR/authorized_keys"
  : >"$SSH_DIR/known_hosts"
  : >"$SSH_DIR/config"
  # Each session runs through this: it tells the demo which host it is on and, for
  # a host with a file system of its own, gives it a home inside that.
  cat >"$SSH_DIR/session.sh" <<'EOF'
#!/bin/sh
if [ -n "${FARM_TEST_HOME:-}" ]; then
  export HOME="$FARM_TEST_HOME"
  mkdir -p "$HOME" && cd "$HOME" || exit 1
fi
exec /bin/sh -c "$SSH_ORIGINAL_COMMAND"
EOF
  chmod +x "$SSH_DIR/session.sh"
  export PARALLEL_SSH="ssh -F $SSH_DIR/config"
}

# add_ssh_name NAME PORT: how the client reaches NAME.
add_ssh_name() {
  cat >>"$SSH_DIR/config" <<EOF
Host $1
  HostName 127.0.0.1
  Port $2
  User $(id -un)
  IdentityFile $SSH_DIR/client_key
  IdentitiesOnly yes
  UserKnownHostsFile $SSH_DIR/known_hosts
  StrictHostKeyChecking yes
  BatchMode yes
  ConnectTimeout 10
  ControlMaster auto
  ControlPath $SSH_DIR/%C.socket
  ControlPersist 30
EOF
  echo "[127.0.0.1]:$2 $(cat "$SSH_DIR/host_key.pub")" >>"$SSH_DIR/known_hosts"
}

# start_ssh_host NAME [PRIVATE_DIR]: an sshd for NAME. With PRIVATE_DIR, the sshd
# and its sessions live in a mount namespace of their own with an empty tmpfs over
# that directory (and their home inside it): a host whose files are not this one's.
start_ssh_host() {
  local name=$1 private=${2:-} port conf log pid
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    conf=$SSH_DIR/$name.conf
    log=$SSH_DIR/$name.log
    cat >"$conf" <<EOF
ListenAddress 127.0.0.1
Port $port
HostKey $SSH_DIR/host_key
PidFile none
AuthorizedKeysFile $SSH_DIR/authorized_keys
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
StrictModes no
SetEnv FARM_TEST_HOST=$name ${private:+FARM_TEST_HOME=$private/home}
ForceCommand $SSH_DIR/session.sh
EOF
    if [ -n "$private" ]; then
      timeout "$SSH_HOST_LIFETIME" unshare -m sh -c 'mount -t tmpfs farm-test "$1" && exec /usr/sbin/sshd -D -e -f "$2"' \
        sh "$private" "$conf" >"$log" 2>&1 &
    else
      timeout "$SSH_HOST_LIFETIME" /usr/sbin/sshd -D -e -f "$conf" >"$log" 2>&1 &
    fi
    pid=$!
    for _ in $(seq 100); do
      grep -q "Server listening" "$log" && break
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if grep -q "Server listening" "$log"; then
      SSH_HOST_PIDS+=("$pid")
      add_ssh_name "$name" "$port"
      return 0
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    grep -q "Address already in use" "$log" || { cat "$log"; fail "sshd for $name did not start"; }
  done
  fail "no free port for the sshd of $name"
}

# add_unreachable_host NAME: a name whose port nothing listens on.
add_unreachable_host() {
  local port
  for _ in $(seq 20); do
    port=$((20000 + RANDOM % 40000))
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue
    add_ssh_name "$1" "$port"
    return 0
  done
  fail "no closed port for $1"
}
