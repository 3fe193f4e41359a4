#!/usr/bin/env bash
# Takes Kelvar's screenshots under Xvfb into docs/screenshots: one scene per
# run of kelvar_screens on a fresh demo start directory. "room-paint-software"
# is the room-paint scene on a machine that does not render 16-bit in a
# window, so the software renderer draws the room.
# usage: tests/editor_ui/screens/take.sh <build directory> [scene...]   (default: every scene)
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
  local scene=$1 name=${2:-$1} machine=${3:-}
  cat >"$work/shoot.sh" <<SHOT
#!/usr/bin/env bash
env ${machine:+VIDEO_MACHINE=$machine} "$build/tests/editor_ui/kelvar_screens" "$work/demo" "$scene" >"$work/out.txt" 2>"$work/err.txt" &
pid=\$!
for i in \$(seq 1 200); do
  grep -q ready "$work/out.txt" 2>/dev/null && break
  sleep 0.1
done
sleep 1  # a dialog opened by the scene paints its previews after it shows
import -window root "$out/kelvar-$name.png"
kill \$pid
wait \$pid 2>/dev/null || true
SHOT
  chmod +x "$work/shoot.sh"
  xvfb-run -a -s "-screen 0 1120x780x24" "$work/shoot.sh"
  echo "screens: docs/screenshots/kelvar-$name.png"
}

scenes=("${@:2}")
if [ ${#scenes[@]} -eq 0 ]; then
  scenes=(machines rooms monsters filemenu textmenu generate about room-paint room-collision room-links room-paint-software map map-menu
          pick-monsters pick-meshes pick-styles text-dialog machine-properties room-dialog
          object-dialog pick-objects monster-dialog pick-traps pick-frame room-tiles room-traps)
fi
for scene in "${scenes[@]}"; do
  case $scene in
    room-paint-software) shoot room-paint room-paint-software no-16bit ;;
    *) shoot "$scene" ;;
  esac
done
