#!/usr/bin/env bash
# Runs every test: the native unit tests (built with AddressSanitizer and
# UBSan) and the end-to-end tests, which drive the real ruzir.scr under Wine
# on a private virtual screen. Ends with one line: "N passed, N failed".
set -uo pipefail
source "$(dirname "$0")/env.sh"

results=$BUILD/test-results
rm -rf "$results"
mkdir -p "$results"
passed=0
failed=0

# Adds up one GoogleTest XML report; a run that left no report failed whole.
count_report() {
  local name=$1 report=$2 status=$3
  if [ ! -s "$report" ]; then
    echo "$name: no report (exit status $status)"
    failed=$((failed + 1))
    return
  fi
  local head tests failures errors disabled
  head=$(grep -m1 '<testsuites' "$report")
  tests=$(sed -E 's/.* tests="([0-9]+)".*/\1/' <<<"$head")
  failures=$(sed -E 's/.* failures="([0-9]+)".*/\1/' <<<"$head")
  errors=$(sed -E 's/.* errors="([0-9]+)".*/\1/' <<<"$head")
  disabled=$(sed -E 's/.* disabled="([0-9]+)".*/\1/' <<<"$head")
  local bad=$((failures + errors))
  passed=$((passed + tests - disabled - bad))
  failed=$((failed + bad))
  # A crash after the report was written still fails the run.
  if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then failed=$((failed + 1)); fi
  echo "$name: $((tests - disabled - bad)) passed, $bad failed"
}

echo "== Native unit tests"
"$BUILD/native/ruzir_tests" --gtest_brief=1 --gtest_output="xml:$results/native.xml"
count_report "native" "$results/native.xml" $?

echo "== End-to-end tests under Wine"
ensure_prefix
start_private_display 1024x768
# The Windows executable writes its report to a Windows path.
run_e2e() {
  local name=$1 report=$2
  shift 2
  (cd "$WIN_BUILD" && "$WINE" ./ruzir_e2e.exe --gtest_brief=1 --gtest_output="xml:$report" "$@")
  local status=$?
  mv -f "$WIN_BUILD/$report" "$results/$report" 2>/dev/null
  count_report "$name" "$results/$report" $status
}
run_e2e "end-to-end" e2e.xml --gtest_filter='-Monitors.*'
stop_private_display

echo "== End-to-end tests on two monitors"
if start_two_monitor_display; then
  run_e2e "end-to-end, two monitors" e2e-monitors.xml --gtest_filter='Monitors.*'
else
  echo "two monitors: the X server did not start"
  failed=$((failed + 1))
fi
stop_private_display

echo "== The setup program under Wine"
start_private_display 1024x768
"$ROOT/scripts/test-installer.sh" >"$results/setup.log" 2>&1
status=$?
grep -v '^[0-9]* passed, [0-9]* failed$' "$results/setup.log"
summary=$(tail -n1 "$results/setup.log")
if [[ $summary =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
  passed=$((passed + BASH_REMATCH[1]))
  failed=$((failed + BASH_REMATCH[2]))
  echo "setup program: $summary"
else
  echo "setup program: no summary (exit status $status)"
  failed=$((failed + 1))
fi
stop_private_display

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
