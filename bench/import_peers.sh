#!/usr/bin/env bash
# The records import of a 1,000,000-row export beside two tools an analyst
# might reach for, each timed merely parsing the same file: pandas'
# read_csv (Debian python3-pandas) and DuckDB's read_csv (the npm package
# @duckdb/node-api, which carries its engine; installed into
# build/peers/ on first use). Ours includes the mapping, the placing, the
# grouping, the sort and the write. Peak memory is the command's own
# (GNU time's maximum resident set), beside the 16 MB store.
#
#   bash bench/import_peers.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
peers="$build/peers"
csv="$peers/export-1m.csv"
mkdir -p "$peers"
for p in python3-pandas time; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
    { echo "import_peers: installing $p"; apt-get install -y -qq --no-install-recommends "$p"; }
done
# Node.js ships its own npm on this machine kind; Debian's would conflict with it.
command -v npm >/dev/null ||
  { echo "import_peers: installing nodejs"; apt-get install -y -qq --no-install-recommends nodejs npm; }
[ -d "$peers/node_modules/@duckdb/node-api" ] ||
  (cd "$peers" && npm install --silent --no-audit --no-fund @duckdb/node-api >/dev/null)
[ -s "$csv" ] || "$build/bench/records_bench" --write-export "$csv"
echo "export: $(wc -l <"$csv") lines, $(du -m "$csv" | cut -f1) MB"

echo "== import-records (Google Benchmark, 3 runs)"
VALDRIN_BENCH_EXPORT="$csv" "$build/bench/records_bench" 2>/dev/null | tail -n 1
echo "== import-records, whole command once: wall seconds, peak RSS"
/usr/bin/time -f "%e s wall, %M KB peak RSS" "$build/cli/valdrin-cli" import-records "$csv" \
  "$peers/out.vdr" --mapping "$root/examples/sample-city-resistance.toml" \
  --data "$root/data" >/dev/null
echo "== pandas read_csv (parse only, best of 3)"
/usr/bin/python3 - "$csv" <<'PY'
import sys, time, pandas
best = min((lambda t: (pandas.read_csv(sys.argv[1], dtype=str), time.perf_counter() - t)[1])(time.perf_counter()) for _ in range(3))
print(f"{best:.3f} s")
PY
echo "== DuckDB read_csv (parse only, best of 3)"
cat >"$peers/duck.mjs" <<'JS'
import { DuckDBInstance } from '@duckdb/node-api';
const inst = await DuckDBInstance.create(':memory:');
const con = await inst.connect();
let best = Infinity;
for (let i = 0; i < 3; ++i) {
  await con.run('DROP TABLE IF EXISTS t');
  const t = performance.now();
  await con.run(`CREATE TABLE t AS SELECT * FROM read_csv('${process.argv[2]}', all_varchar = true)`);
  best = Math.min(best, performance.now() - t);
}
console.log(`${(best / 1000).toFixed(3)} s`);
JS
(cd "$peers" && node duck.mjs "$csv")
