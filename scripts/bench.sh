#!/bin/sh
# Builds and runs the benchmarks (Google Benchmark): the steps that grow with a team's
# database (1,000 projects of 20 assessments, 50 schemes) on SQLite, on a throw-away
# PostgreSQL server and on that server behind a relay adding 1 ms round-trip latency, each
# against a plain read of the ASSESSMENTS table; the model runs through the real plug-in and
# model programs; and a project of 24 assessments run one after the other against two jobs at
# once on SQLite and on the PostgreSQL server (PARVELA_BENCH_MODEL_YEARS=30 lets the models
# simulate 30 years), beside the machine's own two-process ceilings for computing and for
# starting processes. Extra arguments go to every program (e.g. --benchmark_repetitions=5).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARVELA_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target team_database_bench modelruns_bench \
    parallel_runs_bench
pg="$build/bench-pg"
bash "$root/scripts/pg-test-server.sh" start "$pg"
trap 'bash "$root/scripts/pg-test-server.sh" stop "$pg" >/dev/null' EXIT INT TERM
PARVELA_BENCH_PG_INFO="$pg/connection.txt" "$build/bin/team_database_bench" "$@"
"$build/bin/modelruns_bench" "$@"
PARVELA_BENCH_PG_INFO="$pg/connection.txt" "$build/bin/parallel_runs_bench" "$@"
