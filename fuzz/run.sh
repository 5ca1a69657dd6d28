#!/usr/bin/env bash
# Fuzzes the forum library reader: builds the shipped reader sources natively with libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer, then runs it for a set time on the seed corpus.
# Usage: bash fuzz/run.sh [seconds]   (default 600). New inputs and the log go to fuzz/out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
bash "$root/tools/setup.sh"

out=$root/fuzz/out
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -Wall -Wextra \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I "$root/fuzz/shim" -I "$root/extension/forummenu" \
  "$root/fuzz/reader_fuzz.cpp" \
  "$root/extension/forummenu/reader.cpp" "$root/extension/forummenu/forummenu.cpp" \
  -Wl,--wrap=fopen,--wrap=fclose,--wrap=malloc,--wrap=_ZnamRKSt9nothrow_t -o "$out/reader_fuzz"

# Inputs up to 2 KiB reach over-long strings in both forms; new inputs land in out/corpus,
# crashes in out/ (as crash-*).
cd "$out"
./reader_fuzz -max_total_time="$seconds" -max_len=2048 -print_final_stats=1 \
  -artifact_prefix="$out/" "$out/corpus" "$root/fuzz/corpus" 2>&1 | tee "$out/run.log"
