#!/bin/sh
# Starts the show from its bundle, whatever the working directory: the program
# reads its data relative to the working directory, so it runs in the bundle's
# data folder, and the file names given to it (--capture OUT, --inspect FILE) are
# made absolute first so that they still mean what they meant where it was started.
# Every option is passed on; see ./hornlight --help.
HERE=$(dirname "$(readlink -f "$0")")
CALLER=$(pwd)

absolute() {
  case $1 in
    /*) printf '%s' "$1" ;;
    *) printf '%s/%s' "$CALLER" "$1" ;;
  esac
}

# Rebuilds the argument list in place: each path argument made absolute.
count=$#
path_next=0
while [ "$count" -gt 0 ]; do
  arg=$1
  shift
  count=$((count - 1))
  if [ "$path_next" = 1 ]; then
    arg=$(absolute "$arg")
    path_next=0
  else
    case $arg in
      --capture | --inspect) path_next=1 ;;
      --capture=* | --inspect=*) arg="${arg%%=*}=$(absolute "${arg#*=}")" ;;
    esac
  fi
  set -- "$@" "$arg"
done

cd "$HERE/data" || exit 1
exec "$HERE/bin/demo" "$@"
