#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UBSan) and runs
# each one for a bounded time, starting from its committed seeds. Fails when a
# target crashes, hangs, leaks or reports undefined behaviour.
#   scripts/fuzz.sh [SECONDS]   time per target (default 60)
#   KITEBAR_FUZZ_BUILD_DIR      build folder (default: build-fuzz)
#   KITEBAR_FUZZ_TARGETS        names to run (default: all), e.g. "profile hit_report"
# A failing input is kept as build-fuzz/findings/<target>/crash-*; run the
# target on that file to reproduce it.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
  echo "usage: $0 [SECONDS]  (a whole number of seconds per target, at least 1)" >&2
  exit 2
fi
build_dir=${KITEBAR_FUZZ_BUILD_DIR:-build-fuzz}
targets=(${KITEBAR_FUZZ_TARGETS:-history_load profile results_csv result_page http_response hit_report record})

CXX=clang++ CC=clang cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKITEBAR_FUZZ=ON -DKITEBAR_BUILD_TESTS=OFF -DKITEBAR_BUILD_GUI=OFF -DKITEBAR_SANITIZE=OFF \
  -DKITEBAR_WERROR=ON \
  >/dev/null
binaries=()
for target in "${targets[@]}"; do
  binaries+=("kitebar_${target}_fuzzer")
done
cmake --build "$build_dir" -j"$(nproc)" --target "${binaries[@]}"

failed=()
for target in "${targets[@]}"; do
  binary="$build_dir/fuzz/kitebar_${target}_fuzzer"
  seeds="fuzz/corpus/$target"
  # New inputs go to a scratch corpus so that the committed seeds stay small.
  work="$build_dir/corpus/$target"
  findings="$build_dir/findings/$target"
  mkdir -p "$work" "$findings"
  # The HTTP client cuts responses at 65536 characters: let inputs reach past it.
  max_len=()
  [ "$target" = http_response ] && max_len=(-max_len=140000)
  echo "== fuzz $target for ${seconds}s"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    "$binary" "$work" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    "${max_len[@]}" -print_final_stats=1 -artifact_prefix="$findings/" \
    >"$findings/log.txt" 2>&1; then
    failed+=("$target")
    tail -n 40 "$findings/log.txt"
  else
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)' "$findings/log.txt" || true
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found problems in: ${failed[*]} (inputs in $build_dir/findings/)" >&2
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds}s each without a finding"
