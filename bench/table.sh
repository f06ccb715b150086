#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the README's benchmark table: runs `make bench` RUNS times (default 3), keeps
# each run's output in build/bench-runs/, and writes the rows the programs print (their "row"
# lines; a program that prints none gives its lines holding a ratio) between the markers in
# README.md, each with the median run's figures and the spread of its ratio over the runs.
# BENCH_BUILD=0 runs the programs of an existing build/release (bench/run_all.sh) instead.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
out=build/bench-runs
rm -rf "$out"
mkdir -p "$out"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for i in $(seq 1 "$runs"); do
    echo "== make bench, run $i of $runs"
    if [ "${BENCH_BUILD:-1}" = 0 ]; then
        bash bench/run_all.sh build/release >"$out/run-$i.txt" 2>&1 || echo "   (a benchmark failed in run $i)"
    else
        make --no-print-directory bench >"$out/run-$i.txt" 2>&1 || echo "   (make bench failed in run $i)"
    fi
    grep -v '^row' "$out/run-$i.txt" || true
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

python3 - "$out" "$runs" "$load_before" "$load_after" "$(nproc)" <<'PY'
import pathlib, re, statistics, sys, datetime

out, runs, load_before, load_after, cores = sys.argv[1:6]
runs = int(runs)
rows = {}       # (program, case) -> list of (floor, ours, ratio, target) per run
order = []
failed = []
for i in range(1, runs + 1):
    program, printed = None, set()
    text = (pathlib.Path(out) / f"run-{i}.txt").read_text(errors="replace").splitlines()
    pending = {}  # program -> fallback lines, used only if it printed no row
    for line in text:
        if line.startswith("== ") and not line.endswith(" failed"):
            program = line[3:].strip()
            continue
        if line.startswith("== ") and line.endswith(" failed"):
            failed.append(f"{line[3:-7].strip()} (run {i})")
            continue
        if program is None:
            continue
        if line.startswith("row\t"):
            fields = line.split("\t")[1:]
            if len(fields) != 5:
                continue
            printed.add(program)
            key = (program, fields[0])
        elif line.startswith("  ") and line.strip():
            pending.setdefault(program, []).append(line.strip())
            continue
        else:
            continue
        if key not in rows:
            rows[key] = []
            order.append(key)
        rows[key].append(fields[1:])
    for program, lines in pending.items():
        if program in printed:
            continue
        for line in lines:
            m = re.search(r"ratio\s+([0-9]+(?:\.[0-9]+)?)", line)
            key = (program, re.sub(r"[0-9]+(\.[0-9]+)?", "#", line))
            if key not in rows:
                rows[key] = []
                order.append(key)
            rows[key].append(["-", line, m.group(1) if m else "-", "-"])


def figure(cells):
    floor, ours, ratio, target = cells
    if ratio != "-":
        return float(ratio)
    m = re.search(r"-?[0-9]+(\.[0-9]+)?", ours)
    return float(m.group(0)) if m else 0.0


table = []
table.append(
    f"Measured {datetime.date.today().isoformat()} by `bash bench/table.sh {runs}`: {runs} runs of "
    f"the benchmark programs (release build) on {cores} cores, load average {load_before} before and "
    f"{load_after} after. Each row shows the run with the median "
    "figure; the spread is the lowest and highest over the runs (of the ratio, or of the "
    "figure where a row has no floor).")
table.append("")
table.append("| program | case | floor | Skinsmith | ratio (spread) | target |")
table.append("|---|---|---|---|---|---|")
for key in order:
    program, case = key
    samples = rows[key]
    values = [figure(s) for s in samples]
    middle = sorted(range(len(samples)), key=lambda j: values[j])[len(samples) // 2]
    floor, ours, ratio, target = samples[middle]
    spread = f"{min(values):g}-{max(values):g}" if len(samples) > 1 else "one run"
    if ratio != "-":
        cell = f"{ratio} ({spread})"
    else:
        cell = f"- ({spread})"
    if len(samples) < runs:
        cell += f"; {len(samples)} of {runs} runs"
    if case.count("#"):  # a program's own line, no row of its own: its figures are in it
        if ratio == "-":
            cell = ""
        table.append(f"| `{program}` | {ours} | | | {cell} | |")
    else:
        table.append(f"| `{program}` | {case} | {floor} | {ours} | {cell} | {target} |")
if failed:
    table.append("")
    table.append("Programs that failed: " + ", ".join(failed) + ".")

readme = pathlib.Path("README.md")
text = readme.read_text()
begin, end = "<!-- bench-table:begin -->", "<!-- bench-table:end -->"
if begin not in text or end not in text:
    sys.exit("README.md has no benchmark table markers")
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
readme.write_text(head + begin + "\n" + "\n".join(table) + "\n" + end + tail)
print("README.md: %d rows from %d runs" % (len(order), runs))
PY
