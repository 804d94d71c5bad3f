#!/usr/bin/env bash
# Sets everything up and runs the demo jobs: the payroll system's export of
# three payslips and a health-insurance overview, loaded by tiskform and
# written out as JSON and CSV; then transkod on a Windows-1250 text.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh default
bin=build/default
out=out/demo
rm -rf "$out"
mkdir -p "$out/home/RB"
"$bin/tools/make_demo_data" "$out"
export TISKFORM_HOME="$PWD/$out/home"

echo "== tiskform C1W (payslips) -> $out/payslips.json"
"$bin/report/tiskform" --device=json --output="$out/payslips.json" C1W F "$out/data" VYPLPAS.DAT SKSOUBOR
grep -o '"\(Jmeno\|Prijmeni\|HrubaMzda\|CistaMzda\|OsobaCela\)":[^,]*' "$out/payslips.json"

echo "== tiskform S0W1 (health-insurance overview) -> $out/prehled-zp.csv"
"$bin/report/tiskform" --device=csv --output="$out/prehled-zp.csv" S0W1 F "$out/data" PREHLZP.DAT SKSOUBOR
cut -c1-160 "$out/prehled-zp.csv"

echo "== kord dump of the payslip table"
"$bin/tools/kord" dump --layout F_VP --format csv "$out/data/VYPLPAS.DAT" | cut -d, -f1-12

echo "== transkod"
cp examples/transkod/ukazka-cp1250.txt "$out/ukazka.txt"
"$bin/transkod/transkod" "$PWD/$out/ukazka.txt"
cat "$out/ukazka.txt"
