# shellcheck shell=bash
# The programs that the server scripts start, found whatever the caller's PATH holds: Debian
# installs the MariaDB server in /usr/sbin, which only root's PATH names.

# Prints where program NAME lies: on the PATH, else where Debian puts programs. Without it,
# says that the Debian package PACKAGE brings it, and fails.
find_program() {
  local name=$1 package=$2 dir found
  found=$(command -v "$name" 2>/dev/null || true)
  if [[ "$found" != /* ]]; then
    found=""
    for dir in /usr/sbin /usr/bin /sbin /bin /usr/local/sbin /usr/local/bin; do
      if [ -f "$dir/$name" ] && [ -x "$dir/$name" ]; then
        found=$dir/$name
        break
      fi
    done
  fi
  if [ -z "$found" ]; then
    echo "${0##*/}: $name is missing: install the Debian package $package" \
      "(scripts/setup installs it)" >&2
    return 1
  fi
  printf '%s\n' "$found"
}
