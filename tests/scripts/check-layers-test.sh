#!/usr/bin/env bash
# scripts/check-layers.sh passes on the tree and fails, naming file and line, on each kind of
# include that breaks the floors. Works on a copy of the sources, so the tree is never touched.
#   tests/scripts/check-layers-test.sh [repository root]
set -uo pipefail
source_root=$(readlink -f "${1:-"$(dirname "$0")/../.."}")
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
(cd "$source_root" && find . -path ./build -prune -o -path ./.git -prune -o \
  \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name 'check-layers.sh' \) -type f -print0 |
  tar --null -cf - -T -) | tar -xf - -C "$copy"

failed=0
check() { # file, include line, expected message part
  local file=$1 include=$2 expect=$3
  cp "$copy/$file" "$copy/$file.saved"
  printf '%s\n' "$include" >>"$copy/$file"
  local line
  line=$(wc -l <"$copy/$file")
  local output status
  output=$("$copy/scripts/check-layers.sh" "$copy" 2>&1)
  status=$?
  mv "$copy/$file.saved" "$copy/$file"
  if [ $status -eq 0 ] || [[ $output != *"$file:$line: "*"$expect"* ]]; then
    echo "FAIL: $include in $file was not reported as '$expect' at line $line:" >&2
    echo "$output" >&2
    failed=1
  else
    echo "ok: $include in $file"
  fi
}

if ! "$copy/scripts/check-layers.sh" "$copy"; then
  echo "FAIL: the tree itself breaks the floors" >&2
  exit 1
fi
check gfxutil/math/D3DXMath.cpp '#include "app/LumivoxView.h"' "a higher floor"
check gfxutil/image/ImageBmp.cpp '#include "desktop/MainFrame.h"' "a higher floor"
check model/MD2Model.h '#include "scene/Scene.h"' "a higher floor"
check state/RenderSettings.h '#include "app/SettingsFile.h"' "a higher floor"
check app/LumivoxView.cpp '#include "panel/MyPropertySheet.h"' "a higher floor"
check scene/Scene.cpp '#include <QWidget>' "outside the Qt folders"
check resources/Resource.h '#include <QString>' "outside the Qt folders"
check tools/lumivox-tool/main.cpp '#include "platform/ui/WinApp.h"' "across the Qt line"
check platform/ui/WinApp.cpp '#include "resources/Resource.h"' "a higher floor"
check gfxutil/mesh/Mesh.cpp '#include "platform/d3d9/VertexLayout.h"' "internal"
check tests/model/MD2LoadTest.cpp '#include "support/SettingsScope.h"' "a higher floor"
exit $failed
