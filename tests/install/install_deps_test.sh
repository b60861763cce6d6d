#!/usr/bin/env bash
# scripts/install-deps.sh against stand-ins for dpkg-query, id, sudo and apt-get: nothing is
# called when nothing is missing, a machine without sudo gets the line to run as root,
# DEBIAN_FRONTEND survives sudo's environment reset, and run needs less than test.
set -uo pipefail
script="$(cd "$(dirname "$0")/../.." && pwd)/scripts/install-deps.sh"
stubs="$(mktemp -d)"
trap 'rm -rf "$stubs"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

ln -s "$(command -v grep)" "$stubs/grep"
ln -s "$(command -v env)" "$stubs/env"
# Installed: every package when INSTALLED=all, none otherwise.
cat >"$stubs/dpkg-query" <<'EOF'
#!/bin/bash
[ "$INSTALLED" = all ] && printf 'install ok installed'
exit 0
EOF
printf '#!/bin/bash\necho "$FAKE_UID"\n' >"$stubs/id"
printf '#!/bin/bash\necho "DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} apt-get $*" >>"$LOG"\n' >"$stubs/apt-get"
# Like sudo's env_reset: the command sees none of the caller's variables.
printf '#!/bin/bash\necho "sudo $*" >>"$LOG"\nexec env -i PATH="$PATH" LOG="$LOG" "$@"\n' >"$stubs/sudo.off"
chmod +x "$stubs"/*

# run_case INSTALLED UID WITH_SUDO ARG: runs the script; sets status, out (both streams), log.
run_case() {
  if [ "$3" = sudo ]; then mv -f "$stubs/sudo.off" "$stubs/sudo"; fi
  : >"$stubs/log"
  out="$(PATH="$stubs" INSTALLED="$1" FAKE_UID="$2" LOG="$stubs/log" DEBIAN_FRONTEND=dialog \
    /bin/bash "$script" "$4" 2>&1)"
  status=$?
  log="$(cat "$stubs/log")"
  if [ -e "$stubs/sudo" ]; then mv -f "$stubs/sudo" "$stubs/sudo.off"; fi
}

run_case all 1000 sudo test
[ $status -eq 0 ] && [ -z "$out" ] && [ -z "$log" ] || fail "nothing missing: status $status, '$out', '$log'"

run_case none 1000 no-sudo run
[ $status -ne 0 ] || fail "no sudo: status 0"
[ -z "$log" ] || fail "no sudo: called '$log'"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "no sudo: not one line: '$out'"
[[ "$out" == *"as root, run: apt-get update && apt-get install -y --no-install-recommends cmake g++ "* ]] ||
  fail "no sudo: '$out'"

run_case none 1000 sudo run
[ $status -eq 0 ] || fail "sudo: status $status, '$out'"
[[ "$log" == *"sudo env DEBIAN_FRONTEND=noninteractive apt-get install"* ]] || fail "sudo: '$log'"
[[ "$log" == *"DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends cmake "* ]] ||
  fail "sudo: DEBIAN_FRONTEND lost: '$log'"

run_case none 0 no-sudo run
run_installs="$(printf '%s\n' "$log" | grep ' install ')"
[[ "$log" != *sudo* ]] || fail "root: went through sudo: '$log'"
for p in qt6-base-dev qt6-wayland libhidapi-dev fonts-liberation2; do
  [[ "$run_installs" == *" $p"* ]] || fail "run lacks $p"
done
for p in libgtest-dev libbenchmark-dev gputils srecord python3-intelhex clang xvfb xdotool weston; do
  [[ "$run_installs" != *" $p"* ]] || fail "run installs $p, which only testing needs"
done

run_case none 0 no-sudo test
for p in fonts-liberation2 libgtest-dev libbenchmark-dev gputils srecord python3-intelhex clang xvfb xauth xdotool weston; do
  [[ "$log" == *" $p"* ]] || fail "test lacks $p"
done

[ $failures -eq 0 ] && echo "install-deps: every case holds"
