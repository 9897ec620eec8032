# shellcheck shell=bash
# Helpers that the server and display scripts source: the processes they started, found again
# through pid files, waited for and stopped, each within a bound.
#
# A pid file holds "PID START": the process id and when that process started. A pid file left
# by an earlier run may name some other process by now, which has another start; and the
# process must still be the program that was started, with the same arguments, each compared
# whole.

# When process PID started (clock ticks since boot).
started_at() {
  local stat fields
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  # "pid (name) state ppid ...": the name may hold blanks and parentheses.
  read -r -a fields <<<"${stat##*) }"
  [ ${#fields[@]} -ge 20 ] || return 1
  printf '%s\n' "${fields[19]}"
}

# Writes the pid file FILE for the process PID. A process that has ended already is recorded
# with no start, which no process matches.
record_pid() {
  local start
  start=$(started_at "$2") || start=-
  printf '%s %s\n' "$2" "$start" >"$1"
}

# Prints the process id of pid file FILE when that process still runs, whatever its arguments.
# A pid file of an earlier version holds the id alone; then only the arguments tell.
recorded() {
  local pid start
  read -r pid start 2>/dev/null <"$1" || return 1
  [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  [ -n "$start" ] || start=$(started_at "$pid") || return 1
  if [ "$(started_at "$pid" || true)" = "$start" ]; then
    printf '%s\n' "$pid"
  else
    return 1
  fi
}

# Prints the process id of pid file FILE when that process runs with exactly the arguments
# ARG... (the program first).
recorded_as() {
  local file=$1 pid i args
  shift
  pid=$(recorded "$file") || return 1
  mapfile -d '' -t args 2>/dev/null <"/proc/$pid/cmdline" || return 1
  [ ${#args[@]} -eq $# ] || return 1
  local want=("$@")
  for ((i = 0; i < $#; i++)); do
    [ "${args[i]}" = "${want[i]}" ] || return 1
  done
  printf '%s\n' "$pid"
}

# Prints the process id of pid file FILE when each ARG is one of that process's arguments.
recorded_with() {
  local file=$1 pid want have found args
  shift
  pid=$(recorded "$file") || return 1
  mapfile -d '' -t args 2>/dev/null <"/proc/$pid/cmdline" || return 1
  for want in "$@"; do
    found=no
    for have in "${args[@]}"; do
      if [ "$have" = "$want" ]; then
        found=yes
        break
      fi
    done
    [ "$found" = yes ] || return 1
  done
  printf '%s\n' "$pid"
}

# Whether process PID runs: one that has ended but whose parent has not collected it yet
# counts as ended.
alive() {
  local stat
  kill -0 "$1" 2>/dev/null || return 1
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  [ "${stat%% *}" != Z ]
}

# Tries COMMAND... up to TRIES times, SECONDS apart, until it succeeds; gives up as soon as
# process PID has ended.
wait_for() {
  local tries=$1 seconds=$2 pid=$3
  shift 3
  for _ in $(seq 1 "$tries"); do
    alive "$pid" || return 1
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
    alive "$1" || return 0
    sleep "$3"
  done
  ! alive "$1"
}
