#!/usr/bin/env bash
# Sets everything up and runs the demo job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh default
mkdir -p out
cp examples/transkod/ukazka-cp1250.txt out/ukazka.txt
./build/default/transkod/transkod "$PWD/out/ukazka.txt"
echo "Converted out/ukazka.txt to UTF-8:"
cat out/ukazka.txt
