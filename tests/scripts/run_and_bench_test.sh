#!/usr/bin/env bash
# scripts/run without a display and scripts/bench, on a copy of the tree in which the package
# installer, CMake, the screenshot and the benchmark driver are stand-ins that talk on standard
# output the way the real ones do: run must leave docs/ alone and print where its picture went;
# bench's standard output must hold the table alone.
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
mkdir -p "$tree/scripts" "$tree/docs" "$tree/build/release/app" "$work/bin"
cp "$source_dir/scripts/run" "$source_dir/scripts/bench" "$tree/scripts/"

stand_in() { # stand_in PATH BODY
    printf '#!/usr/bin/env bash\n%s\n' "$2" >"$1"
    chmod +x "$1"
}
stand_in "$tree/scripts/install-deps" 'echo "install-deps: installing $*"'
stand_in "$tree/scripts/screenshot" 'out=${1:-docs/screenshot.png}
mkdir -p "$(dirname "$out")"; echo new >"$out"; echo "Screenshot written to $out"'
stand_in "$tree/build/release/app/mapreg" 'exit 0'
stand_in "$work/bin/cmake" 'echo "-- cmake $*"'
stand_in "$work/bin/python3" 'echo "| table |"'
echo original >"$tree/docs/screenshot.png"

fail() { echo "FAIL: $*" >&2; exit 1; }

out=$(cd "$tree" && env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" scripts/run)
[ "$(cat "$tree/docs/screenshot.png")" = original ] || fail "scripts/run rewrote docs/screenshot.png"
shot=$(printf '%s\n' "$out" | tail -n 1)
case $shot in
    build/*) [ -f "$tree/$shot" ] || fail "scripts/run printed $shot, which does not exist" ;;
    *) fail "scripts/run did not end with the path of its picture in the build folder: $shot" ;;
esac

table=$(cd "$tree" && PATH="$work/bin:$PATH" scripts/bench 2>/dev/null)
[ "$table" = "| table |" ] || fail "scripts/bench printed more than the table: $table"
echo "ok"
