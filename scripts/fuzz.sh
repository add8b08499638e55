#!/usr/bin/env bash
# Builds and runs the libFuzzer targets of fuzz/ outside the main build.
#
#   bash scripts/fuzz.sh build                  # all targets into build-fuzz/
#   bash scripts/fuzz.sh run <target> <seconds> # one process, seeds from fuzz/corpus/<target>/
#   bash scripts/fuzz.sh seeds                  # rewrites the tiny seed bitmaps with our writer
#   bash scripts/fuzz.sh list                   # the target names
#
# Targets: file_name, value_of_text, number_text, bitmap, run_deflate, kfr_file, palette_file. New inputs go to
# build-fuzz/corpus/<target>/, inputs that break a rule to
# build-fuzz/artifacts/<target>/; the seeds in the repository stay as they are.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
OUT="$ROOT/build-fuzz"
source "$ROOT/scripts/deps.sh"

TARGETS=(file_name value_of_text number_text bitmap run_deflate kfr_file palette_file)
# The sources the targets exercise, with coverage feedback, and what they
# need to link, with the sanitizers only (the picture buffer's fill would
# otherwise cost more than the reading it serves). The picture reader is
# ours around Qt's image reader: it alone is built against Qt, and only the
# bitmap target links it (Qt itself runs as installed, uninstrumented).
FUZZED_SOURCES=(src/app/number_text.cpp src/app/app_state.cpp src/app/view_limits.cpp src/app/view_texts.cpp
                src/files/file_name.cpp src/render/deep/decimal_text.cpp src/files/run_deflate.cpp
                src/files/kfr_file.cpp src/files/palette_file.cpp)
QT_FUZZED_SOURCES=(src/platform/qt_picture_file.cpp)
SUPPORT_SOURCES=(src/render/surface.cpp src/render/layout.cpp src/files/safe_file.cpp src/files/bitmap.cpp
                 src/render/deep/big_real.cpp src/render/deep/deep_view.cpp src/render/deep/reference.cpp
                 src/render/orbit.cpp src/app/deep_place.cpp)
QT_TARGETS=(bitmap)
# Every operation rounds on its own, as in the program itself.
FLAGS=(-std=c++20 -O1 -g -ffp-contract=off -fno-fast-math -Wall -Wextra
       -fno-sanitize-recover=all -I"$ROOT/src" -I"$ROOT/tests" -I"$ROOT/tools" -I"$ROOT/fuzz")
# clang's "undefined" takes in floats converted to integers they do not fit,
# but not floating-point division by zero, which the program never does on
# purpose either.
SANITIZERS=address,undefined,float-divide-by-zero

need_clang() {
    command -v clang++ >/dev/null 2>&1 || install_missing clang
    local rt
    rt="$(clang++ -print-resource-dir)/lib/linux/libclang_rt.fuzzer-x86_64.a"
    if [ ! -f "$rt" ]; then
        local major
        major="$(clang++ -dumpversion | cut -d. -f1)"
        install_missing "libclang-rt-$major-dev"
    fi
}

build() {
    need_clang
    install_missing pkg-config qt6-base-dev
    mkdir -p "$OUT/obj"
    local qt_flags qt_libs objects=() qt_objects=()
    read -r -a qt_flags <<<"$(pkg-config --cflags Qt6Gui) -fPIC"
    read -r -a qt_libs <<<"$(pkg-config --libs Qt6Gui)"
    for src in "${FUZZED_SOURCES[@]}" "${QT_FUZZED_SOURCES[@]}" "${SUPPORT_SOURCES[@]}"; do
        local obj="$OUT/obj/$(basename "${src%.cpp}").o" sanitizers=$SANITIZERS extra=()
        [[ " ${SUPPORT_SOURCES[*]} " == *" $src "* ]] || sanitizers=fuzzer-no-link,$sanitizers
        if [[ " ${QT_FUZZED_SOURCES[*]} " == *" $src "* ]]; then
            extra=("${qt_flags[@]}")
            qt_objects+=("$obj")
        else
            objects+=("$obj")
        fi
        clang++ "${FLAGS[@]}" "${extra[@]}" -fsanitize="$sanitizers" -c "$ROOT/$src" -o "$obj"
    done
    for t in "${TARGETS[@]}"; do
        local with=()
        [[ " ${QT_TARGETS[*]} " == *" $t "* ]] && with=("${qt_flags[@]}" "${qt_objects[@]}" "${qt_libs[@]}")
        clang++ "${FLAGS[@]}" -fsanitize=fuzzer,$SANITIZERS "$ROOT/fuzz/${t}_fuzz.cpp" "${objects[@]}" \
            "${with[@]}" -lmpfr -lgmp -lz -o "$OUT/fuzz-${t//_/-}"
        echo "built $OUT/fuzz-${t//_/-}"
    done
}

# Longest input per target: names and number texts are short, a bitmap
# needs room for headers, palette and a few rows.
max_len() {
    case "$1" in
        bitmap) echo 8192 ;;
        number_text) echo 16 ;;
        run_deflate) echo 4096 ;;
        kfr_file) echo 4096 ;;
        palette_file) echo 4096 ;;
        *) echo 512 ;;
    esac
}

run() {
    local t="$1" seconds="$2"
    local exe="$OUT/fuzz-${t//_/-}"
    [ -x "$exe" ] || build
    mkdir -p "$OUT/corpus/$t" "$OUT/artifacts/$t"
    local extra=()
    [ -f "$ROOT/fuzz/$t.dict" ] && extra+=("-dict=$ROOT/fuzz/$t.dict")
    "$exe" "$OUT/corpus/$t" "$ROOT/fuzz/corpus/$t" \
        -max_total_time="$seconds" -max_len="$(max_len "$t")" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$OUT/artifacts/$t/" "${extra[@]}"
}

seeds() {
    need_clang
    mkdir -p "$OUT" "$ROOT/fuzz/corpus/bitmap"
    clang++ "${FLAGS[@]}" "$ROOT/fuzz/make_bitmap_seeds.cpp" "$ROOT/src/files/bitmap.cpp" \
        "$ROOT/src/render/surface.cpp" "$ROOT/src/files/safe_file.cpp" -o "$OUT/make-bitmap-seeds"
    "$OUT/make-bitmap-seeds" "$ROOT/fuzz/corpus/bitmap"
}

case "${1:-}" in
    build) build ;;
    run)
        [ $# -eq 3 ] || { echo "usage: $0 run <target> <seconds>" >&2; exit 2; }
        [[ " ${TARGETS[*]} " == *" $2 "* ]] || { echo "targets: ${TARGETS[*]}" >&2; exit 2; }
        run "$2" "$3" ;;
    seeds) seeds ;;
    list) printf '%s\n' "${TARGETS[@]}" ;;
    *) echo "usage: $0 build | run <target> <seconds> | seeds | list" >&2; exit 2 ;;
esac
