#!/usr/bin/env bash
# Lines of code that count: non-blank lines outside comments.
# Prints the lines of tests/ against those of src/ + tools/ + bench/ and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."

# Counts the code lines of the files given on stdin (one path a line).
# C-family files: // and /* */ comments; shell and CMake: # comments.
count_lines() {
  local total=0 n file
  while IFS= read -r file; do
    case "$file" in
      *.sh|*.cmake|*.txt|*.conf|*.py)
        n=$(grep -cvE '^[[:space:]]*(#|$)' "$file" || true) ;;
      *)
        n=$(awk '
          {
            line = $0; out = ""
            while (length(line) > 0) {
              if (inBlock) {
                end = index(line, "*/")
                if (end == 0) { line = ""; break }
                line = substr(line, end + 2); inBlock = 0
              } else {
                open = index(line, "/*"); slash = index(line, "//")
                if (slash > 0 && (open == 0 || slash < open)) { out = out substr(line, 1, slash - 1); line = ""; break }
                if (open == 0) { out = out line; line = ""; break }
                out = out substr(line, 1, open - 1); line = substr(line, open + 2); inBlock = 1
              }
            }
            if (out ~ /[^[:space:]]/) code++
          }
          END { print code + 0 }' "$file") ;;
    esac
    total=$((total + n))
  done
  echo "$total"
}

code_files() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inl' -o -name '*.sh' \) \
    ! -path src/help/readme.txt | sort
}

tests=$(code_files tests | count_lines)
code=$(code_files src tools bench | count_lines)
fuzz=$(code_files fuzz | count_lines)
echo "tests/:                  $tests"
echo "src/ + tools/ + bench/:  $code"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio:                   %.3f\n", t / c }'
echo "fuzz/ (not counted):     $fuzz"
