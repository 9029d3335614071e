#!/usr/bin/env bash
# Runs the recipes of README's "More than one machine" as a user would: each
# ```sh block whose first line is "# recipe: NAME", in a fresh folder holding
# dem.asc and climate/*.asc, with pvxMap on the PATH. A recipe passes when
# it exits 0; the batches must also give what pvxMap gives run by hand.
#
#   run.sh README.md DIRECTORY-OF-PVXMAP
set -euo pipefail
readme=$1
export PATH="$(cd "$2" && pwd):$PATH"
expected="xargs parallel tiles-slope tiles-calc"

if ! command -v parallel >/dev/null; then
    echo "GNU parallel is not installed"
    # CI sets PVX_REQUIRE_GDAL and installs the peers' tools; there, missing is a failure.
    [ -n "${PVX_REQUIRE_GDAL:-}" ] && exit 1
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A DEM of 2300 x 1700 cells (6 tiles of 1000) with a hole of no data, and
# a series of temperatures.
mkdir -p "$work/data/climate"
awk -v cols=2300 -v rows=1700 'BEGIN {
    printf "ncols %d\nnrows %d\nxllcorner 400000\nyllcorner 5000000\ncellsize 25\nNODATA_value -9999\n", cols, rows
    for (r = 0; r < rows; r++) {
        line = ""
        for (c = 0; c < cols; c++) {
            v = ((r - 800)^2 + (c - 1000)^2 < 900) ? -9999 : sprintf("%.2f", 600 + 150 * sin(c / 97) * cos(r / 71) + (c * 7 + r * 13) % 10 / 4)
            line = line (c ? " " : "") v
        }
        print line
    }
}' > "$work/data/dem.asc"
for month in 01 02 03 04 05 06; do
    awk -v m="$month" 'BEGIN {
        printf "ncols 200\nnrows 150\nxllcorner 0\nyllcorner 0\ncellsize 1000\nNODATA_value -9999\n"
        for (r = 0; r < 150; r++) {
            line = ""
            for (c = 0; c < 200; c++)
                line = line (c ? " " : "") sprintf("%.1f", 260 + m * 3 + (r * 31 + c * 17) % 50 / 10)
            print line
        }
    }' > "$work/data/climate/t-2024-$month.asc"
done

# Each recipe into a file of its own.
mkdir "$work/recipes"
awk -v dir="$work/recipes" '
    /^```sh$/ { block = 1; name = ""; next }
    /^```$/ { block = 0; name = ""; next }
    block && name == "" && /^# recipe: / { name = $3; next }
    block && name != "" { print > (dir "/" name ".sh") }
    block && name == "" { block = 0 }
' "$readme"

status=0
for name in $expected; do
    if [ ! -f "$work/recipes/$name.sh" ]; then
        echo "FAIL $name: no such recipe in $readme"
        status=1
        continue
    fi
    rm -rf "$work/run"
    cp -r "$work/data" "$work/run"
    if ! (cd "$work/run" && bash -euo pipefail "$work/recipes/$name.sh") >"$work/log" 2>&1; then
        echo "FAIL $name:"
        cat "$work/log"
        status=1
        continue
    fi
    if [ -d "$work/run/celsius" ]; then
        for grid in "$work"/data/climate/*.asc; do
            pvxMap calc 't - 273.15' t="$grid" -o "$work/by-hand.asc" -q
            if ! cmp -s "$work/by-hand.asc" "$work/run/celsius/${grid##*/}"; then
                echo "FAIL $name: celsius/${grid##*/} is not what pvxMap calc gives"
                status=1
            fi
        done
    fi
    echo "ok   $name"
done
exit $status
