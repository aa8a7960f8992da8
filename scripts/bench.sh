#!/bin/sh
# Builds and runs the benchmarks (Google Benchmark): the steps that grow with a team's
# database (1,000 projects of 20 assessments, 50 schemes) on SQLite, on a throw-away
# PostgreSQL server and on that server behind a relay adding 1 ms round-trip latency, each
# against a plain read of the ASSESSMENTS table; and the model runs through the real plug-in
# and model programs. Extra arguments go to both programs (e.g. --benchmark_repetitions=5).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARVELA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target team_database_bench modelruns_bench
pg="$build/bench-pg"
bash "$root/scripts/pg-test-server.sh" start "$pg"
trap 'bash "$root/scripts/pg-test-server.sh" stop "$pg" >/dev/null' EXIT INT TERM
PARVELA_BENCH_PG_INFO="$pg/connection.txt" "$build/bin/team_database_bench" "$@"
"$build/bin/modelruns_bench" "$@"
