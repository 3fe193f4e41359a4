#!/usr/bin/env bash
# Takes Pavix's screenshot under Xvfb into docs/screenshots, on a fresh demo
# start directory.
# usage: tests/pavix_ui/screens/take.sh <build directory>
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

cat >"$work/shoot.sh" <<SHOT
#!/usr/bin/env bash
"$build/tests/pavix_ui/pavix_screens" "$work/demo" >"$work/out.txt" 2>"$work/err.txt" &
pid=\$!
for i in \$(seq 1 200); do
  grep -q ready "$work/out.txt" 2>/dev/null && break
  sleep 0.1
done
import -window root "$out/pavix-textured-model.png"
kill \$pid
wait \$pid 2>/dev/null || true
SHOT
chmod +x "$work/shoot.sh"
xvfb-run -a -s "-screen 0 1100x760x24" "$work/shoot.sh"
echo "screens: docs/screenshots/pavix-textured-model.png"
