#!/usr/bin/env bash
# Takes Kelvar's screenshots under Xvfb into docs/screenshots: one scene per
# run of kelvar_screens on a fresh demo start directory.
# usage: tests/editor_ui/screens/take.sh <build directory> [scene...]
set -euo pipefail
cd "$(dirname "$0")/../../.."
root=$PWD
build=$(cd "${1:?build directory}" && pwd)
out=$root/docs/screenshots
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

"$build/tools/demodata/demodata" "$work/demo" >/dev/null
export PROFILE_INI=$work/profile.ini MACHINE_INI=$work/machine.ini

shoot() {
  local scene=$1
  cat >"$work/shoot.sh" <<SHOT
#!/usr/bin/env bash
"$build/tests/editor_ui/kelvar_screens" "$work/demo" "$scene" >"$work/out.txt" 2>"$work/err.txt" &
pid=\$!
for i in \$(seq 1 200); do
  grep -q ready "$work/out.txt" 2>/dev/null && break
  sleep 0.1
done
import -window root "$out/kelvar-$scene.png"
kill \$pid
wait \$pid 2>/dev/null || true
SHOT
  chmod +x "$work/shoot.sh"
  xvfb-run -a -s "-screen 0 1120x780x24" "$work/shoot.sh"
  echo "screens: docs/screenshots/kelvar-$scene.png"
}

# A list of scenes after the build directory takes only those.
scenes=("${@:2}")
[ ${#scenes[@]} -gt 0 ] || scenes=(machines rooms monsters filemenu textmenu generate about room-paint room-collision room-links
                                   pick-monsters pick-meshes pick-styles text-dialog machine-properties room-dialog)
for scene in "${scenes[@]}"; do shoot "$scene"; done
