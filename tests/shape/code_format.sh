#!/usr/bin/env bash
# Every C++ file of src/, tests/ and bench/ is in the format of the committed
# .clang-format.
#   code_format.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
style=$source_dir/.clang-format
command -v clang-format >/dev/null || {
    echo "clang-format is not installed (scripts/install-deps installs it)"
    exit 1
}
[ -f "$style" ] || {
    echo "no $style"
    exit 1
}
format=(clang-format "--style=file:$style" --dry-run --Werror)

# The check is only a check if clang-format reads the committed style and
# fails on a file out of it.
if printf 'int  main( ){return 0;}\n' | "${format[@]}" --assume-filename=probe.cpp 2>/dev/null; then
    echo "clang-format passes a misformatted file"
    exit 1
fi
if ! printf 'int main(int count, char** names)\n{\n    return count;\n}\n' \
    | "${format[@]}" --assume-filename=probe.cpp; then
    echo "clang-format does not read $style"
    exit 1
fi

mapfile -d '' files < <(find "$source_dir/src" "$source_dir/tests" "$source_dir/bench" -type f \
    \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
[ ${#files[@]} -gt 0 ] || {
    echo "no C++ files under $source_dir"
    exit 1
}
"${format[@]}" "${files[@]}"
echo "${#files[@]} files in the committed format"
