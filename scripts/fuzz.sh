#!/usr/bin/env bash
# Builds the image decoder fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, outside the CMake build, and runs each one for a bounded time.
#
#   scripts/fuzz.sh [seconds per target] [target ...]     (default: 60 seconds, every target)
#
# Targets: bmp dib tga jpeg png ppm dds hdr pfm pcx probe. The corpus of each target is kept in
# build/fuzz/corpus/<target> (seeded from tests/fixtures/images); crashing inputs are written to
# build/fuzz/crashes/. One job at a time.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(bmp dib tga jpeg png ppm dds hdr pfm pcx probe)
fi

cxx=${CXX:-}
if [ -z "$cxx" ]; then
  for candidate in clang++ clang++-16 clang++-15 clang++-14; do
    if command -v "$candidate" >/dev/null; then cxx=$candidate; break; fi
  done
fi
if [ -z "$cxx" ]; then
  echo "fuzz.sh: clang++ is needed (with libFuzzer: libclang-rt-dev)" >&2
  exit 1
fi

out=build/fuzz
mkdir -p "$out/obj" "$out/crashes"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
cxxflags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -DLUMIVOX_FUZZING -I. $sanitize)
sources=(gfxutil/image/DecodedImage.cpp gfxutil/image/ImageDecoder.cpp gfxutil/image/ImageBmp.cpp gfxutil/image/ImageTga.cpp
  gfxutil/image/ImageJpeg.cpp gfxutil/image/ImagePng.cpp gfxutil/image/ImagePpm.cpp gfxutil/image/ImageDds.cpp gfxutil/image/ImageHdr.cpp
  gfxutil/image/ImagePfm.cpp gfxutil/image/ImagePcx.cpp platform/os/SwitchStore.cpp platform/os/ProcessorFeatures.cpp)

newest_header=$(ls -t gfxutil/*/*.h platform/os/*.h platform/d3d9/*.h | head -n 1)
objects=()
for source in "${sources[@]}"; do
  object="$out/obj/$(basename "${source%.cpp}").o"
  if [ ! -e "$object" ] || [ "$source" -nt "$object" ] || [ "$newest_header" -nt "$object" ]; then
    echo "compiling $source"
    "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer-no-link -c "$source" -o "$object"
  fi
  objects+=("$object")
done

seed_pattern() {
  case $1 in
    bmp | dib) echo 'bmp*' ;;
    tga) echo 'tga*' ;;
    jpeg) echo 'jpeg*' ;;
    png) echo 'png*' ;;
    pcx) echo 'pcx*' ;;
    *) echo '*' ;;
  esac
}

failed=()
for target in "${targets[@]}"; do
  source="fuzz/fuzz_$target.cpp"
  if [ ! -e "$source" ]; then
    echo "fuzz.sh: no target $target" >&2
    exit 1
  fi
  binary="$out/fuzz_$target"
  echo "building $binary"
  "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer "$source" "${objects[@]}" -ljpeg -lpng -lz -o "$binary"

  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  if [ -z "$(ls -A "$corpus")" ]; then
    find tests/fixtures/images -maxdepth 1 -type f -name "$(seed_pattern "$target")" ! -name '*.sh' \
      -exec cp {} "$corpus/" \;
  fi

  echo "fuzzing $target for $seconds s"
  if ! "$binary" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/crashes/$target-" >"$out/$target.log" 2>&1; then
    failed+=("$target")
    grep -A 12 -E "^==[0-9]+==ERROR|SUMMARY|runtime error" "$out/$target.log" | head -n 40
  fi
  tail -n 6 "$out/$target.log"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failures in: ${failed[*]} (inputs in $out/crashes, logs in $out/<target>.log)" >&2
  exit 1
fi
