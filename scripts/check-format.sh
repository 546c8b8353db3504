#!/usr/bin/env bash
# Fails, naming the files, when a source file of src/, tools/, tests/ or fuzz/ differs from the house style
# (.clang-format). Fix with: clang-format-14 -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=()
while IFS= read -r -d '' file; do
    clang-format-14 --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' 'tests/*.cpp' 'tests/*.h' 'tests/*.c' 'fuzz/*.cpp' 'fuzz/*.h')
if [ ${#unformatted[@]} -ne 0 ]; then
    echo "Not in the house style (clang-format-14 -i FILE fixes it):"
    printf '  %s\n' "${unformatted[@]}"
    exit 1
fi
