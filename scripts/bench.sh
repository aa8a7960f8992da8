#!/bin/sh
# Builds and runs the benchmarks (Google Benchmark): the whole-database walks and the loading
# of 20,000 assessments against a plain query loop, and the model runs through the real
# plug-in and model programs. Extra arguments go to both programs (e.g.
# --benchmark_repetitions=5).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARVELA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target entities_bench modelruns_bench
"$build/bin/entities_bench" "$@"
"$build/bin/modelruns_bench" "$@"
