#!/usr/bin/env bash
# Builds the program and shows the bundled model. Until the viewer window exists this prints the
# bundled model's information.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target lumivox-tool >/dev/null
exec build/default/tools/lumivox-tool info Data/ex1.md2
