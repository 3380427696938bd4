#!/usr/bin/env bash
# Checks the shape of the core: which headers each core folder of src/
# includes (by the levels in core_levels.txt), and that no core source is
# compiled with Qt, which is how a core target linking Qt shows in the
# compile commands of the build folder.
#   core_levels.sh SOURCE_DIR [BUILD_DIR]
# Prints one line per break and exits 1 when there is any.
set -euo pipefail

source_dir=$(cd "$1" && pwd)
build_dir=${2:-}
levels_file=$(dirname "$0")/core_levels.txt
src=$source_dir/src

declare -A level
while read -r folder folder_level _; do
    [[ -z $folder || $folder == \#* ]] && continue
    level[$folder]=$folder_level
done <"$levels_file"

breaks=0
report()
{
    echo "$1"
    breaks=$((breaks + 1))
}

# Sets `target` to the folder of src/ that an include names, or to nothing
# for a header from outside the project. A quoted include is looked up
# beside the including file first, then from src/.
find_included_folder()
{
    local including_dir=$1 quote=$2 name=$3 path=""
    target=""
    if [[ $quote == '"' && -f $including_dir/$name ]]; then
        path=$including_dir/$name
    elif [[ $name == */* && -e $src/${name%%/*} ]]; then
        path=$src/$name
    fi
    [[ $path == *../* ]] && path=$(realpath -m "$path")
    [[ $path == "$src"/*/* ]] || return 0
    path=${path#"$src"/}
    target=${path%%/*}
}

core_present=()
for folder in "${!level[@]}"; do
    [[ -d $src/$folder ]] && core_present+=("$folder")
done
[ ${#core_present[@]} -gt 0 ] || {
    echo "no core folder of core_levels.txt under $src"
    exit 1
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^>"]+)[>"]'
for folder in "${core_present[@]}"; do
    while IFS= read -r -d '' file; do
        line_number=0
        while IFS= read -r line; do
            line_number=$((line_number + 1))
            [[ $line =~ $include_pattern ]] || continue
            quote=${BASH_REMATCH[1]}
            name=${BASH_REMATCH[2]}
            where="${file#"$source_dir"/}:$line_number"
            if [[ $name =~ ^Q[A-Za-z0-9_]*(\.h)?$ || $name == Qt*/* ]]; then
                report "$where: the core folder $folder includes Qt's $name"
                continue
            fi
            find_included_folder "${file%/*}" "$quote" "$name"
            [[ -z $target || $target == "$folder" ]] && continue
            if [[ -z ${level[$target]:-} ]]; then
                report "$where: the core folder $folder includes $name of $target/, which is no core folder"
            elif ((level[$target] >= level[$folder])); then
                report "$where: $folder (level ${level[$folder]}) includes $name of $target (level ${level[$target]})"
            fi
        done <"$file"
    done < <(find "$src/$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)

    while IFS= read -r hit; do
        report "src/$folder/CMakeLists.txt:${hit%%:*}: a core target names Qt"
    done < <(grep -nE 'Qt[0-9]*::|find_package\(Qt' "$src/$folder/CMakeLists.txt" 2>/dev/null || true)
done

# A core target that links Qt, directly or through another library, is
# compiled with Qt's include folders and definitions.
if [[ -n $build_dir ]]; then
    commands=$build_dir/compile_commands.json
    [[ -f $commands ]] || {
        echo "no $commands"
        exit 1
    }
    core_pattern=$(printf '%s|' "${core_present[@]}")
    core_pattern="^$src/(${core_pattern%|})/"
    while IFS=$'\t' read -r file command; do
        [[ $file =~ $core_pattern ]] || continue
        if [[ $command =~ (qt6|QT_[A-Z]+_LIB) ]]; then
            report "${file#"$source_dir"/}: compiled with Qt (${BASH_REMATCH[1]}): its target links Qt"
        fi
    done < <(awk '
        /^[[:space:]]*"command":/ { command = $0 }
        /^[[:space:]]*"file":/ {
            file = $0
            sub(/^[[:space:]]*"file": "/, "", file)
            sub(/",?[[:space:]]*$/, "", file)
            print file "\t" command
        }' "$commands")
fi

if ((breaks > 0)); then
    echo "$breaks break(s) of the core's shape"
    exit 1
fi
echo "core shape kept: ${core_present[*]}"
