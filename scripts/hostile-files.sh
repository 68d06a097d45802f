#!/usr/bin/env bash
# Runs lumivox-tool on every file of the regression corpora (tests/fixtures/images/regress,
# tests/fixtures/md2/regress) and reports, per file, the exit status, the wall time and the peak
# memory (GNU time). Every file must end with status 0 or 1 (never a signal) within 2 s and 256 MB.
#
#   scripts/hostile-files.sh [path to lumivox-tool]     (default: build/default/tools/lumivox-tool)
set -uo pipefail
cd "$(dirname "$0")/.."
tool=${1:-build/default/tools/lumivox-tool}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
limit_seconds=2
limit_kb=$((256 * 1024))
failures=0

measure() {
  local file=$1
  shift
  /usr/bin/time -f "%e %M" -o "$out/time" "$tool" "$@" >"$out/stdout" 2>"$out/stderr"
  local status=$?
  # GNU time puts "Command exited with non-zero status N" or "Command terminated by signal N"
  # before its figures.
  read -r seconds kilobytes < <(tail -n 1 "$out/time")
  if grep -q "signal" "$out/time"; then status=signal; fi
  local verdict=ok
  if [ "$status" != 0 ] && [ "$status" != 1 ]; then verdict=FAIL; fi
  if [ "$kilobytes" = "?" ] || [ "$kilobytes" -gt "$limit_kb" ] || awk "BEGIN{exit !($seconds > $limit_seconds)}"; then
    verdict=FAIL
  fi
  [ $verdict = FAIL ] && failures=$((failures + 1))
  printf '%-4s %-44s status %-6s %6ss %8d KB\n' "$verdict" "$(basename "$file")" "$status" "$seconds" "$kilobytes"
}

for file in tests/fixtures/images/regress/*; do
  measure "$file" image "$file" --out "$out/out.png"
done
for file in tests/fixtures/md2/regress/*; do
  measure "$file" info "$file"
done
[ $failures -eq 0 ]
