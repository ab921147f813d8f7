#!/usr/bin/env bash
# Every picture format, whole and cut at every sixteenth of its length, read
# twice under different heap perturbations: the two readings must agree, or a
# decoder handed out memory it never wrote. With --valgrind, also once under
# valgrind, which must report no error. Run by hand after building.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=build/bench/sweep_truncated
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen
MALLOC_PERTURB_=165 "$tool" sweep >"$out/165.txt" 2>/dev/null
MALLOC_PERTURB_=90 "$tool" sweep >"$out/90.txt" 2>/dev/null
echo "$(wc -l <"$out/165.txt") readings: $(grep -c ' file taken' "$out/165.txt") files and" \
     "$(grep -c ' uri taken' "$out/165.txt") data URIs taken"
if ! diff "$out/165.txt" "$out/90.txt"; then
    echo "the readings differ between MALLOC_PERTURB_=165 and 90"
    exit 1
fi
echo "identical under MALLOC_PERTURB_=165 and 90"
if [ "${1:-}" = "--valgrind" ]; then
    valgrind -q --error-exitcode=9 "$tool" sweep >"$out/valgrind.txt" 2>"$out/valgrind.log" || {
        grep '^==' "$out/valgrind.log" | head -40
        exit 1
    }
    diff "$out/165.txt" "$out/valgrind.txt" && echo "clean under valgrind, the same readings"
fi
