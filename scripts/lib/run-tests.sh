# Sourced by scripts/test: runs ctest in the current build folder. A test that fails fails the run,
# with one exception: Wine may end a test process by signal when its other threads do not stop in
# time on a loaded machine, after the test itself has passed. Such a test (ended by a signal, its
# gtest output saying it passed and nothing failed) runs once more, and its name is printed.

# The names of the failed tests that ended by a signal, from ctest's summary on stdin.
_tests_ended_by_signal() {
  sed -n '/^The following tests FAILED:/,/^$/p' |
    sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \(([^)]*)\)$/\2\t\1/p' |
    while IFS=$'\t' read -r reason name; do
      case "$reason" in
        Failed | Timeout | "Not Run" | Disabled) ;;
        *) printf '%s\n' "$name" ;;
      esac
    done
}

# True when the test's output in ctest's last log says that gtest passed and nothing failed.
_gtest_said_passed() {
  awk -v name="$1" '
    $0 ~ /^[0-9]+\/[0-9]+ Testing: / { sub(/^[0-9]+\/[0-9]+ Testing: /, ""); inside = ($0 == name); next }
    inside && /^\[  PASSED  \]/ { passed = 1 }
    inside && /^\[  FAILED  \]/ { failed = 1 }
    END { exit !(passed && !failed) }
  ' Testing/Temporary/LastTest.log
}

_regex_of_name() {
  printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'
}

run_tests() {
  local summary=Testing/ctest-summary.log status
  mkdir -p Testing
  _run_ctest "$summary" -j"${JOBS:-$(nproc)}" "$@" && return 0 || status=$?

  local signalled=() rerun=() name
  mapfile -t signalled < <(_tests_ended_by_signal <"$summary")
  for name in "${signalled[@]}"; do
    _gtest_said_passed "$name" && rerun+=("$name")
  done
  local failed
  failed=$(sed -n '/^The following tests FAILED:/,/^$/p' "$summary" | grep -c ' - ' || true)
  # Any failure that is not a passed test ended by a signal fails the run as it stands.
  if [ "${#rerun[@]}" -eq 0 ] || [ "${#rerun[@]}" -ne "$failed" ]; then
    return "$status"
  fi

  echo "run-tests: ended by a signal after passing, running once more:"
  printf '  %s\n' "${rerun[@]}"
  local pattern="" part
  for name in "${rerun[@]}"; do
    part="^$(_regex_of_name "$name")\$"
    pattern=${pattern:+$pattern|}$part
  done
  _run_ctest Testing/ctest-rerun.log -R "$pattern"
}

# ctest in the background, so that an interrupted script stops it (the shell runs its traps only
# between commands, and wait is one it can leave); its output also goes to the log file.
_run_ctest() {
  local log=$1 pid status=0 kept=() other
  shift
  ctest --output-on-failure --timeout 600 -O "$log" "$@" &
  pid=$!
  _started_pids+=("$pid")
  wait "$pid" || status=$?
  for other in "${_started_pids[@]}"; do
    [ "$other" = "$pid" ] || kept+=("$other")
  done
  _started_pids=("${kept[@]}")
  return "$status"
}
