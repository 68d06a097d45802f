#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that every file a desktop needs is there
# and valid: the two programs, the menu entry, the MD2 file type, the thumbnailer, the icons and
# the sample model.
#   check-install.sh CMAKE BUILD_DIR
set -euo pipefail
cmake=$1
build=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/lumivox bin/lumivox-tool \
    share/applications/lumivox.desktop share/mime/packages/lumivox.xml share/thumbnailers/lumivox.thumbnailer \
    share/icons/hicolor/256x256/apps/lumivox.png share/icons/hicolor/scalable/apps/lumivox.svg \
    share/lumivox/Data/ex1.md2 share/lumivox/Data/ex1.jpg share/lumivox/Data/catoon.jpg; do
  if [ ! -s "$prefix/$file" ]; then
    echo "missing from the installation: $file"
    status=1
  fi
done
for program in lumivox lumivox-tool; do
  [ -x "$prefix/bin/$program" ] || { echo "not executable: bin/$program"; status=1; }
done

entry=$prefix/share/applications/lumivox.desktop
grep -qx 'Exec=lumivox %f' "$entry" || { echo "the desktop entry does not open files with lumivox"; status=1; }
grep -qx 'MimeType=model/x-md2;' "$entry" || { echo "the desktop entry does not claim MD2 models"; status=1; }
grep -qx 'Exec=lumivox-tool thumbnail -s %s %i %o' "$prefix/share/thumbnailers/lumivox.thumbnailer" ||
  { echo "the thumbnailer entry does not run lumivox-tool thumbnail"; status=1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry" || status=1
else
  echo "desktop-file-validate not found: the desktop entry is not validated"
fi

# The file type, compiled as a desktop would: the glob and the magic both name it.
if command -v update-mime-database >/dev/null; then
  update-mime-database "$prefix/share/mime" 2>/dev/null
  grep -q '^50:model/x-md2:\*\.md2$' "$prefix/share/mime/globs2" || { echo "no *.md2 glob"; status=1; }
  grep -aq 'IDP2' "$prefix/share/mime/magic" || { echo "no IDP2 magic"; status=1; }
fi
exit $status
