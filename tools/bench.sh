#!/bin/sh
# Runs the benchmarks (each against its baseline in the same program) and
# prints the ratios. Usage: tools/bench.sh [build dir] [repetitions]
# On a busy machine the repetitions are interleaved and the medians compared.
set -eu
BUILD=${1:-build}
REPS=${2:-5}
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for b in bench_crc bench_panel bench_run bench_dataflash bench_update bench_stall bench_cli bench_firmware; do
    exe="$BUILD/bench/$b"
    [ -x "$exe" ] || { echo "missing $exe (build it first)" >&2; exit 1; }
    echo "running $b ..." >&2
    "$exe" --benchmark_repetitions="$REPS" --benchmark_enable_random_interleaving=true \
        --benchmark_report_aggregates_only=true --benchmark_format=json >"$OUT/$b.json" 2>"$OUT/$b.err" ||
        { cat "$OUT/$b.err" >&2; exit 1; }
done
python3 - "$OUT" <<'PY'
import json, os, sys
out = sys.argv[1]
med = {}
for f in sorted(x for x in os.listdir(out) if x.endswith(".json")):
    for b in json.load(open(os.path.join(out, f)))["benchmarks"]:
        if b.get("aggregate_name") == "median":
            med[b["run_name"]] = b
def find(name):
    # "BM_X/250" matches "BM_X/250" and "BM_X/250/iterations:3", "BM_X/real_time" ...
    for k in med:
        if k == name or k.startswith(name + "/"):
            return med[k]
    return None
def show(title, name, base, limit):
    a, b = find(name), find(base)
    if a is None or b is None:
        print(f"{title:56s} (not measured)")
        return
    key = "real_time" if "/real_time" in a["run_name"] else "cpu_time"
    print(f"{title:56s} {a[key] / b[key]:6.2f}x  (goal <= {limit}; {key})")
for n in ("250", "1000", "2000", "4000"):
    show(f"panel load+show {n} / plain widgets", f"BM_PanelLoadShow/{n}", f"BM_PlainLoadShow/{n}", 1.5)
    show(f"panel close {n} / plain widgets", f"BM_PanelClose/{n}", f"BM_PlainClose/{n}", 1.5)
for n in ("2000", "4000"):
    show(f"grid panel load+show {n} / plain widgets", f"BM_PanelLoadShowGrid/{n}", f"BM_PlainLoadShowGrid/{n}", 1.3)
    a, b = find(f"BM_PanelLoadShowGrid/{n}"), find(f"BM_PlainLoadShowGrid/{n}")
    if a and b and b.get("peak_mib", 0) > 0:
        print(f"{'grid panel peak memory ' + n + ' / plain widgets':56s} {a['peak_mib'] / b['peak_mib']:6.2f}x  (goal <= 1.3; "
              f"{a['peak_mib']:.1f} vs {b['peak_mib']:.1f} MiB)")
    show(f"  the same / plain widgets sharing scaled pictures", f"BM_PanelLoadShowGrid/{n}",
         f"BM_PlainSharedLoadShowGrid/{n}", "-")
    if a and b and b.get("heap_mib"):
        print(f"{'grid panel heap held ' + n + ' / plain widgets':56s} {a['heap_mib'] / b['heap_mib']:6.2f}x  "
              f"({a['heap_mib']:.1f} vs {b['heap_mib']:.1f} MiB)")
    show(f"editor close with save {n} / plain close and write", f"BM_EditorClose/{n}", f"BM_PlainCloseWrite/{n}", 1.5)
show("panel load+show 4000 / 2000", "BM_PanelLoadShow/4000", "BM_PanelLoadShow/2000", 2.2)
show("panel close 4000 / 2000", "BM_PanelClose/4000", "BM_PanelClose/2000", 2.2)
show("editor close with save 4000 / 2000", "BM_EditorClose/4000", "BM_EditorClose/2000", 2.2)
show("run tick 200 with pictures / raw round trips", "BM_RunTickPictures", "BM_RawRoundTrips", 1.3)
show("run tick 200 without pictures / raw round trips", "BM_RunTickNoPictures", "BM_RawRoundTrips", 1.15)
for n in ("65536", "524288"):
    show(f"CrcUpdate {n} B / zlib crc32", f"BM_CrcUpdate/{n}", f"BM_ZlibCrc32/{n}", 1.0)
show("open package + build image (PL, V401f) / plain reader", "BM_OpenPackageAndBuildImage",
     "BM_PlainOpenAndBuildImage", 1.3)
show("quelnetctl package image / plain_image program", "BM_QuelnetctlPackageImage",
     "BM_PlainImageProgram", 1.3)
show("DataFlash programming / plain socket client", "BM_UpdateDataFlash", "BM_PlainClient", 1.15)
show("quelnetctl update / plain client program", "BM_CliUpdate", "BM_PlainUpdate", 1.3)
a, b = find("BM_CliUpdateDryRun"), find("BM_CliUpdate")
if a and b:
    print(f"{'quelnetctl update: part without writes (dry run)':56s} {a['real_time'] / b['real_time']:6.2f}x  "
          f"({a['real_time']:.1f} of {b['real_time']:.1f} ms)")
for delay, what in (("0", "an instant controller"), ("1", "a controller taking 1 ms a page")):
    r = find(f"BM_Ratios/{delay}")
    if r:
        print(f"{'quelnetctl backup / transfer, ' + what:56s} {r['program/transfer']:6.2f}x  "
              f"(fixed cost of a call {r['program_ms'] - r['transfer_ms']:.1f} ms; goal <= 10 ms)")
        if "spawn_ms" in r:
            print(f"{'  the same net of a plain spawn (/bin/true, ' + str(round(r['spawn_ms'], 1)) + ' ms)':56s} "
                  f"{r['program_ms'] - r['transfer_ms'] - r['spawn_ms']:6.1f} ms  "
                  f"(quelnetctl --version {r['start_ms']:.1f} ms)")
r = find("BM_CallCost")
if r:
    print(f"{'quelnetctl backup: the call itself, within the program':56s} {r['call_ms']:6.1f} ms  "
          f"(net of the spawn {r['call_net_ms']:.1f} ms; each controller {r['per_controller_ms']:.1f} ms; goal <= 10 ms)")
for name in sorted(k for k in med if k.startswith("BM_Stall")):
    print(f"{'longest stall ' + name:56s} {med[name]['max_stall_ms']:8.1f} ms  (goal <= 50 unless Blocking)")
PY
