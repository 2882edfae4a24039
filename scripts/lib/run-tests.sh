# Sourced by scripts/test: runs ctest in the current build folder. A test that fails fails the run,
# with two exceptions that Wine brings on a loaded machine, where no test code has failed:
#  - a test process ended by a signal after its test had passed (its other threads did not stop
#    in time): the gtest output says it passed and nothing failed;
#  - a test process that ended before gtest printed anything (it never reached the tests; gtest
#    flushes each line, so a test that ran and crashed shows at least its start).
# Such tests run once more, and their names are printed; the second run decides.

# The failed tests from ctest's summary on stdin, one a line: the reason, a tab, the name.
_failed_tests() {
  sed -n '/^The following tests FAILED:/,/^$/p' |
    sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \(([^)]*)\)$/\2\t\1/p'
}

# What the test's output in ctest's last log shows: "passed" when gtest passed and nothing
# failed, "nothing" when there is no output at all, else "other".
_gtest_outcome() {
  awk -v name="$1" '
    $0 ~ /^[0-9]+\/[0-9]+ Testing: / { sub(/^[0-9]+\/[0-9]+ Testing: /, ""); inside = ($0 == name); next }
    inside && /^<end of output>$/ { inside = 0; next }
    inside && seen_output_rule { lines++ }
    inside && /^Output:$/ { next_is_rule = 1; next }
    inside && next_is_rule { next_is_rule = 0; seen_output_rule = 1; next }
    inside && /^\[  PASSED  \]/ { passed = 1 }
    inside && /^\[  FAILED  \]/ { failed = 1 }
    END { print (passed && !failed) ? "passed" : (lines == 0 ? "nothing" : "other") }
  ' Testing/Temporary/LastTest.log
}

_regex_of_name() {
  printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'
}

run_tests() {
  local summary=Testing/ctest-summary.log status
  mkdir -p Testing
  _run_ctest "$summary" -j"${JOBS:-$(nproc)}" "$@" && return 0 || status=$?

  local failed=() rerun=() entry reason name outcome
  mapfile -t failed < <(_failed_tests <"$summary")
  for entry in "${failed[@]}"; do
    reason=${entry%%$'\t'*}
    name=${entry#*$'\t'}
    outcome=$(_gtest_outcome "$name")
    # A test whose code failed, crashed or hung is never run again.
    case "$reason" in
      Timeout | "Not Run" | Disabled) ;;
      Failed)
        if [ "$outcome" = nothing ]; then rerun+=("$name"); fi ;;
      *)  # ended by a signal
        if [ "$outcome" != other ]; then rerun+=("$name"); fi ;;
    esac
  done
  # Any other failure fails the run as it stands.
  if [ "${#rerun[@]}" -eq 0 ] || [ "${#rerun[@]}" -ne "${#failed[@]}" ]; then
    return "$status"
  fi

  echo "run-tests: ended by Wine without a failed test (by a signal after passing, or before gtest started), running once more:"
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
