#!/usr/bin/env bash
# Installs what is missing, checks the C++ formatting, builds and runs the
# whole test suite, checks the installed tree and the Debian package, then
# builds and runs the suite again with AddressSanitizer and
# UndefinedBehaviorSanitizer.
# GUI tests need a display: without one, the suite runs under Xvfb.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/check_format.sh"

run_suite() {
  local dir=$1
  if [ -z "${DISPLAY:-}" ]; then
    # -noreset: a server that resets whenever its last client leaves refuses
    # the next test's connection for a moment.
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
  else
    ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"
  fi
}

"$top/scripts/build.sh" "$top/build" -DVELORIN_BENCH=OFF
run_suite "$top/build"
"$top/scripts/check_install.sh" "$top/build"

"$top/scripts/build.sh" "$top/build-asan" -DVELORIN_SANITIZE=ON -DVELORIN_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
# GLib hands out GObjects and small blocks from its slab allocator, where
# LeakSanitizer cannot see single objects; plain malloc makes a leaked
# pixbuf or widget visible.
export G_SLICE=always-malloc G_DEBUG=gc-friendly

# Half a minute of libFuzzer on velorin-matte's argument parsing and
# constraint reading, with the same sanitizers (clang only). New inputs go to
# a scratch folder; the seeds and the bad-input corpus in the tree stay as
# they are. A crash leaves its input in build-fuzz/ and fails the run.
CC=clang CXX=clang++ cmake -S "$top" -B "$top/build-fuzz" -G Ninja -DVELORIN_FUZZ=ON \
  -DVELORIN_SANITIZE=ON -DVELORIN_TESTS=OFF -DVELORIN_BENCH=OFF >/dev/null
cmake --build "$top/build-fuzz" --target fuzz_matte_input -- -j"$(nproc)"
mkdir -p "$top/build-fuzz/found"
if ! "$top/build-fuzz/fuzz/fuzz_matte_input" -max_total_time=30 -timeout=10 -rss_limit_mb=2048 \
     -artifact_prefix="$top/build-fuzz/" "$top/build-fuzz/found" "$top/fuzz/seeds" \
     "$top/tests/cli/corpus" >"$top/build-fuzz/fuzz.log" 2>&1; then
  tail -n 60 "$top/build-fuzz/fuzz.log" >&2
  echo "test: the fuzzer found a fault (its input is in build-fuzz/)" >&2
  exit 1
fi
tail -n 1 "$top/build-fuzz/fuzz.log"

run_suite "$top/build-asan"
