#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, outside the CMake build, and runs each one for a bounded time.
#
#   scripts/fuzz.sh [seconds per target] [target ...]     (default: 60 seconds, every target)
#
# Targets: the image decoders bmp dib tga jpeg png ppm dds hdr pfm pcx, the whole image probe, and the
# MD2 reader md2. The working corpus of each target is kept in build/fuzz/corpus/<target>, seeded
# from the test fixtures and the regression corpus (tests/fixtures/images/regress,
# tests/fixtures/md2/regress); crashing, slow or memory-hungry inputs are written to
# build/fuzz/crashes/. Minimise each one (run the target binary with -minimize_crash=1 -runs=10000
# on it) and add it to the regression corpus, which the tests replay.
#
# Environment: FUZZ_JOBS (default 1) targets run at the same time, each under nice; FUZZ_NICE
# (default 19) its niceness.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
all_targets=(bmp dib tga jpeg png ppm dds hdr pfm pcx probe md2)
if [ ${#targets[@]} -eq 0 ]; then
  targets=("${all_targets[@]}")
fi
jobs=${FUZZ_JOBS:-1}
niceness=${FUZZ_NICE:-19}

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
image_sources=(gfxutil/image/DecodedImage.cpp gfxutil/image/ImageDecoder.cpp gfxutil/image/ImageBmp.cpp
  gfxutil/image/ImageTga.cpp gfxutil/image/ImageJpeg.cpp gfxutil/image/ImagePng.cpp gfxutil/image/ImagePpm.cpp
  gfxutil/image/ImageDds.cpp gfxutil/image/ImageHdr.cpp gfxutil/image/ImagePfm.cpp gfxutil/image/ImagePcx.cpp
  platform/os/SwitchStore.cpp platform/os/ProcessorFeatures.cpp)
model_sources=(model/MD2Model.cpp model/MD2Reader.cpp model/MD2FileCheck.cpp model/MD2Normals.cpp
  gfxutil/math/D3DXMath.cpp gfxutil/math/MathDispatch.cpp gfxutil/math/MathPortable.cpp gfxutil/math/MathSSE.cpp
  gfxutil/math/MathSSE2.cpp gfxutil/math/Math3DNow.cpp gfxutil/math/MathX87Tuned.cpp gfxutil/math/AllocatorCheck.cpp
  platform/os/MessageBox.cpp platform/os/ProcessorFeatures.cpp platform/os/SwitchStore.cpp
  platform/os/FileSource.cpp platform/os/FileBytes.cpp platform/os/FileMapping.cpp platform/os/ArchiveNames.cpp
  platform/os/PakArchive.cpp platform/os/ZipArchive.cpp)

newest_header=$(ls -t gfxutil/*/*.h model/*.h platform/os/*.h platform/d3d9/*.h | head -n 1)

# Compiles `source` once into build/fuzz/obj and prints the object's path.
object_of() {
  local source=$1
  local object="$out/obj/$(basename "${source%.cpp}").o"
  if [ ! -e "$object" ] || [ "$source" -nt "$object" ] || [ "$newest_header" -nt "$object" ]; then
    echo "compiling $source" >&2
    "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer-no-link -c "$source" -o "$object"
  fi
  echo "$object"
}

seed_pattern() {
  case $1 in
    bmp) echo 'bmp*' ;;
    tga) echo 'tga*' ;;
    jpeg) echo 'jpeg*' ;;
    png) echo 'png*' ;;
    pcx) echo 'pcx*' ;;
    *) echo '*' ;;
  esac
}

seed() {
  local target=$1 corpus=$2
  if [ "$target" = md2 ]; then
    cp tests/fixtures/md2/*.md2 tests/fixtures/md2/regress/* "$corpus/"
  elif [ "$target" = dib ]; then
    # The bitmap header and pixels without the 14-byte file header.
    for file in tests/fixtures/images/bmp*; do tail -c +15 "$file" >"$corpus/$(basename "$file")"; done
  else
    find tests/fixtures/images -maxdepth 1 -type f -name "$(seed_pattern "$target")" ! -name '*.sh' \
      -exec cp {} "$corpus/" \;
    cp tests/fixtures/images/regress/* "$corpus/"
  fi
}

build() {
  local target=$1 source="fuzz/fuzz_$1.cpp" objects=() libraries=() s
  if [ ! -e "$source" ]; then
    echo "fuzz.sh: no target $target" >&2
    exit 1
  fi
  if [ "$target" = md2 ]; then
    for s in "${model_sources[@]}"; do objects+=("$(object_of "$s")"); done
    libraries=(-lzip)
  else
    for s in "${image_sources[@]}"; do objects+=("$(object_of "$s")"); done
    libraries=(-ljpeg -lpng -lz)
  fi
  echo "building $out/fuzz_$target"
  "$cxx" "${cxxflags[@]}" -fsanitize=fuzzer "$source" "${objects[@]}" "${libraries[@]}" -o "$out/fuzz_$target"
}

# Runs one target; its log ends with libFuzzer's final statistics (executions, peak memory).
run() {
  local target=$1 corpus="$out/corpus/$1"
  mkdir -p "$corpus"
  if [ -z "$(ls -A "$corpus")" ]; then
    seed "$target" "$corpus"
  fi
  # Small models reach every path of the reader; large ones only slow it down.
  local options=()
  if [ "$target" = md2 ]; then options=(-max_len=4096); fi
  echo "fuzzing $target for $seconds s"
  if nice -n "$niceness" "$out/fuzz_$target" "$corpus" "${options[@]}" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/crashes/$target-" >"$out/$target.log" 2>&1; then
    echo "$target: clean"
  else
    echo "$target: FAILED"
    grep -A 12 -E "^==[0-9]+==ERROR|SUMMARY|runtime error|ALARM|out-of-memory" "$out/$target.log" | head -n 40
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)|^Done [0-9]+ runs" "$out/$target.log" | sed "s/^/$target: /"
}

for target in "${targets[@]}"; do
  build "$target"
done

for target in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
    wait -n || true
  done
  run "$target" &
done
wait

failed=()
for target in "${targets[@]}"; do
  if grep -qE "^==[0-9]+==ERROR|runtime error|ALARM|out-of-memory" "$out/$target.log"; then
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failures in: ${failed[*]} (inputs in $out/crashes, logs in $out/<target>.log)" >&2
  exit 1
fi
