#!/bin/sh
# Runs the benchmarks and keeps their figures as JSON under build/bench/.
# Expects the host build to be done (make bench builds first).
set -eu
cd "$(dirname "$0")/.."

out=build/bench
mkdir -p "$out"

# The station queries: time per call for each kind of typed input.
query_bench=build/host/bench/query_bench
if [ ! -x "$query_bench" ]; then
    echo "bench: $query_bench is missing; build with 'make build'" >&2
    exit 1
fi
echo "bench: station queries"
"$query_bench" --benchmark_out="$out/queries.json" --benchmark_out_format=json
echo "bench: figures written to $out/queries.json"

# Further benchmarks go here, each writing its own JSON beside queries.json.
