#!/usr/bin/env bash
# Builds the program and starts the viewer on the bundled model in Data/, from the repository root
# (the settings file Data/MD2DATA.ini is read and written there).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display to show the viewer on: run 'xvfb-run -a scripts/run.sh', or draw pictures without one with 'lumivox-tool render' (build/default/tools/lumivox-tool)." >&2
  exit 1
fi

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target lumivox >/dev/null
exec build/default/lumivox "$@"
