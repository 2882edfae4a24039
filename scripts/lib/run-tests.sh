# Sourced by scripts/test: runs ctest in the current build folder. A test that fails fails the run,
# with two exceptions that Wine brings on a loaded machine, where no test code has failed:
#  - a test process ended by a signal after its test had passed (its other threads did not stop
#    in time): the gtest output says it passed and nothing failed;
#  - a test process that Wine never started: it printed nothing, and its exit status (the last
#    line that lib/run-test-program adds on a failure) is one of _NEVER_STARTED below.
# Such tests run once more, and their names are printed; the second run decides. The first run's
# log stays beside the second's (Testing/Temporary/LastTest-first-run.log), and both runs' exit
# statuses are printed.

# The exit statuses of a process that Wine ended while starting it, before its entry point, as
# Wine passes them on (the low byte of the Windows status); Wine prints nothing for either:
#   53  0xC0000135, a DLL that the program imports was not found;
#   66  0xC0000142, a DLL failed to initialise while the process was being set up (Wine's own
#       DLLs, such as the display driver, when the machine is loaded).
# Every other status counts as the test's own: among them 5 (0xC0000005, an access violation), 3
# (abort or std::terminate), 9 (0xC0000409, a failed security check or fail-fast), 253
# (0xC00000FD, a stack overflow) and 1 (gtest's failure, or Wine that could not find the program).
_NEVER_STARTED=(53 66)

# The failed tests from ctest's summary on stdin, one a line: the reason, a tab, the name.
_failed_tests() {
  sed -n '/^The following tests FAILED:/,/^$/p' |
    sed -n -E 's/^[[:space:]]*[0-9]+ - (.*) \(([^)]*)\)$/\2\t\1/p'
}

# What the test's output in a ctest log ($2, default the last one) shows, a tab, and its exit status
# as lib/run-test-program printed it ("-" when it printed none: the process passed or ended by a
# signal). The outcome is "passed" when gtest passed and nothing failed, "nothing" when the
# process printed nothing at all, else "other".
_gtest_outcome() {
  awk -v name="$1" '
    $0 ~ /^[0-9]+\/[0-9]+ Testing: / { sub(/^[0-9]+\/[0-9]+ Testing: /, ""); inside = ($0 == name); next }
    inside && /^<end of output>$/ { inside = 0; next }
    inside && seen_output_rule && /^run-test-program: exit status [0-9]+$/ { status = $NF; next }
    inside && seen_output_rule && /^run-test-program: / { next }
    inside && seen_output_rule { lines++ }
    inside && /^Output:$/ { next_is_rule = 1; next }
    inside && next_is_rule { next_is_rule = 0; seen_output_rule = 1; next }
    inside && /^\[  PASSED  \]/ { passed = 1 }
    inside && /^\[  FAILED  \]/ { failed = 1 }
    END {
      outcome = (passed && !failed) ? "passed" : (lines == 0 ? "nothing" : "other")
      print outcome "\t" (status == "" ? "-" : status)
    }
  ' "${2:-Testing/Temporary/LastTest.log}"
}

_never_started() {
  local code
  for code in "${_NEVER_STARTED[@]}"; do
    [ "$1" = "$code" ] && return 0
  done
  return 1
}

# How a test ended, for the rerun's report: its ctest reason, and the exit status when there is one.
_describe_end() {
  local reason=$1 status=$2
  case "$reason" in
    Failed) printf 'failed, exit status %s' "$status" ;;
    *) printf '%s' "$reason" ;;
  esac
}

_regex_of_name() {
  printf '%s' "$1" | sed 's/[][\.*^$+?(){}|/]/\\&/g'
}

run_tests() {
  local summary=Testing/ctest-summary.log status
  mkdir -p Testing
  _run_ctest "$summary" -j"${JOBS:-$(nproc)}" "$@" && return 0 || status=$?

  local failed=() rerun=() first_end=() entry reason name found outcome code
  mapfile -t failed < <(_failed_tests <"$summary")
  for entry in "${failed[@]}"; do
    reason=${entry%%$'\t'*}
    name=${entry#*$'\t'}
    found=$(_gtest_outcome "$name")
    outcome=${found%%$'\t'*}
    code=${found#*$'\t'}
    # A test whose code failed, crashed or hung is never run again.
    case "$reason" in
      Timeout | "Not Run" | Disabled) ;;
      Failed)
        if [ "$outcome" = nothing ] && _never_started "$code"; then
          rerun+=("$name")
          first_end+=("exit status $code, no output: Wine did not start the process")
        fi ;;
      *)  # ended by a signal
        if [ "$outcome" = passed ]; then
          rerun+=("$name")
          first_end+=("$reason after gtest said it passed")
        fi ;;
    esac
  done
  # Any other failure fails the run as it stands.
  if [ "${#rerun[@]}" -eq 0 ] || [ "${#rerun[@]}" -ne "${#failed[@]}" ]; then
    return "$status"
  fi

  # The second run writes ctest's log anew; the first one's stays beside it.
  cp Testing/Temporary/LastTest.log Testing/Temporary/LastTest-first-run.log
  echo "run-tests: ended by Wine without a failed test (by a signal after passing, or never started), running once more:"
  local i
  for i in "${!rerun[@]}"; do
    printf '  %s (first run: %s)\n' "${rerun[$i]}" "${first_end[$i]}"
  done
  local pattern="" part
  for name in "${rerun[@]}"; do
    part="^$(_regex_of_name "$name")\$"
    pattern=${pattern:+$pattern|}$part
  done
  local rerun_status=0
  _run_ctest Testing/ctest-rerun.log -R "$pattern" || rerun_status=$?

  local again=() second
  mapfile -t again < <(_failed_tests <Testing/ctest-rerun.log)
  echo "run-tests: both runs (logs Testing/Temporary/LastTest-first-run.log and LastTest.log):"
  for i in "${!rerun[@]}"; do
    name=${rerun[$i]}
    second="passed"
    for entry in "${again[@]}"; do
      if [ "${entry#*$'\t'}" = "$name" ]; then
        found=$(_gtest_outcome "$name")
        second=$(_describe_end "${entry%%$'\t'*}" "${found#*$'\t'}")
      fi
    done
    printf '  %s: first run %s; second run %s\n' "$name" "${first_end[$i]}" "$second"
  done
  return "$rerun_status"
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
