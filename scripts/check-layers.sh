#!/usr/bin/env bash
# Holds the house rule: a file includes only from its own floor or below, the headless core never
# reaches across the Qt line, and the utility layer sees the device only through its public header.
# Reads every #include of the tree and names each file and line that breaks the rule.
#   scripts/check-layers.sh [root]      (default: the repository this script lives in)
set -uo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root" || exit 2

# Floors from the ground up. platform/ui stands beside the ground floor, resources above it.
declare -A rank=(
  [platform/os]=0 [platform/d3d9]=1 [platform/ui]=1 [resources]=2 [gfxutil]=2 [state]=3 [model]=4
  [scene]=5 [app]=6 [panel]=7 [desktop]=8 [tools]=9 [bench]=9 [fuzz]=9
)
# The Qt side: no file of the headless core includes a file from here. Qt headers are allowed in
# the Qt folders and their tests, and in the tests of resources/, which show the tables in widgets.
qt_side=" platform/ui resources panel desktop "
qt_folders=" platform/ui panel desktop "

# The folder (floor) a path belongs to; tests/<folder>/... belong to <folder>. Empty when none.
floor_of() {
  local path=${1#./}
  path=${path#tests/}
  case $path in
  platform/*) echo "${path%%/*}/$(cut -d/ -f2 <<<"$path")" ;;
  bench/desktop/*) echo desktop ;; # benchmarks of the Qt edge stand on its floor
  *) local top=${path%%/*}; [ -n "${rank[$top]+x}" ] && echo "$top" ;;
  esac
}

# The file an include names, in $target: beside the including file, else from the root or tests/.
resolve() {
  local from=$1 name=$2
  target=
  if [ -e "${from%/*}/$name" ]; then target="${from%/*}/$name"
  elif [ -e "$name" ]; then target=$name
  elif [ -e "tests/$name" ]; then target="tests/$name"
  fi
}

mapfile -t files < <(find . -path ./build -prune -o -path ./.git -prune -o \
  \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.c' \) -type f -print | sed 's#^\./##' | sort)

# Shared test helpers (tests/support/) stand on the highest floor they include.
declare -A floor_of_file
for f in "${files[@]}"; do
  fl=$(floor_of "$f")
  [ -n "$fl" ] && floor_of_file[$f]=$fl
done
for _ in 1 2 3; do
  for f in "${files[@]}"; do
    case $f in tests/support/*) ;; *) continue ;; esac
    best=platform/os
    while IFS= read -r name; do
      resolve "$f" "$name"
      t=${floor_of_file[$target]:-}
      [ -n "$t" ] && [ "${rank[$t]}" -gt "${rank[$best]}" ] && best=$t
      [ -n "$t" ] && [[ $qt_side == *" $t "* ]] && best=$t
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
    floor_of_file[$f]=$best
  done
done

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]*)[">]'
failures=0
fail() { echo "$1:$2: $3" >&2; failures=$((failures + 1)); }

for f in "${files[@]}"; do
  own=${floor_of_file[$f]:-}
  [ -z "$own" ] && continue
  own_qt=0; [[ $qt_side == *" $own "* ]] && own_qt=1
  qt_headers=0; [[ $qt_folders == *" $own "* || $f == tests/resources/* ]] && qt_headers=1
  line_number=0
  while IFS= read -r line; do
    line_number=$((line_number + 1))
    [[ $line =~ $include_pattern ]] || continue
    kind=${BASH_REMATCH[1]} name=${BASH_REMATCH[2]}
    if [ "$kind" = "<" ]; then
      if [ $qt_headers = 0 ] && [[ $name =~ ^Q[A-Za-z]*(/|$) ]]; then
        fail "$f" $line_number "Qt header <$name> in $own, outside the Qt folders"
      fi
      continue
    fi
    resolve "$f" "$name"
    to=${floor_of_file[$target]:-}
    [ -z "$to" ] && continue
    if [ "${rank[$to]}" -gt "${rank[$own]}" ]; then
      fail "$f" $line_number "$own includes \"$name\" from $to, a higher floor"
    elif [ $own_qt = 0 ] && [[ $qt_side == *" $to "* ]]; then
      fail "$f" $line_number "$own includes \"$name\" from $to, across the Qt line"
    elif [[ $f == gfxutil/* ]] && [ "$to" = platform/d3d9 ] && [[ $target != platform/d3d9/Direct3D9.h ]] &&
      [[ $target != platform/d3d9/D3D9Types.h ]]; then
      fail "$f" $line_number "gfxutil includes the device's internal \"$name\"; use platform/d3d9/Direct3D9.h"
    fi
  done <"$f"
done

if [ $failures -gt 0 ]; then
  echo "check-layers: $failures include(s) against the floors" >&2
  exit 1
fi
echo "check-layers: ${#files[@]} files, every include on its floor or below"
