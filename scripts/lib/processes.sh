# Helpers that the server and display scripts source: the processes they started, found again
# through pid files, waited for and stopped, each within a bound.

# Whether PID is a running process whose command line holds TEXT: a pid file from an earlier
# run may name a process that has nothing to do with this one by now.
runs_with() {
  local line
  line=$(tr '\0' ' ' 2>/dev/null <"/proc/$1/cmdline") || return 1
  [[ "$line" == *"$2"* ]]
}

# Prints the process id in FILE when that process runs with TEXT in its command line.
running_pid() {
  local pid
  pid=$(cat "$1" 2>/dev/null) || return 1
  [[ "$pid" =~ ^[0-9]+$ ]] && runs_with "$pid" "$2" && echo "$pid"
}

# Tries COMMAND... up to TRIES times, SECONDS apart, until it succeeds; gives up as soon as
# process PID has ended.
wait_for() {
  local tries=$1 seconds=$2 pid=$3
  shift 3
  for _ in $(seq 1 "$tries"); do
    kill -0 "$pid" 2>/dev/null || return 1
    "$@" && return 0
    sleep "$seconds"
  done
  return 1
}

# Sends PID the TERM signal and gives it up to TRIES times SECONDS to end; fails when it still
# runs then.
terminate() {
  kill -TERM "$1" 2>/dev/null || true
  for _ in $(seq 1 "$2"); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep "$3"
  done
  ! kill -0 "$1" 2>/dev/null
}
