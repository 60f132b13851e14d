#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root and starts the
# installed program there on the private X server it is run on (hushleaf_x_run):
# the start page must show.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
# Only what this script started: "kill 0" would end the whole test run with it.
cleanup() {
  if [ -n "${app:-}" ]; then kill "$app" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

(cd "$work" && cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/*.deb)
# Read whole first: "grep -q" stopping early would break dpkg-deb's pipe (pipefail).
info=$(dpkg-deb -I "$deb")
grep -q 'Depends:.*libqt6webenginewidgets6' <<<"$info"
dpkg-deb -x "$deb" "$work/root"
for f in usr/bin/hushleaf-browser usr/share/applications/hushleaf-browser.desktop \
         usr/share/icons/hicolor/scalable/apps/hushleaf-browser.svg; do
  test -e "$work/root/$f" || { echo "missing $f"; exit 1; }
done
grep -q '^Exec=hushleaf-browser' "$work/root/usr/share/applications/hushleaf-browser.desktop"
# The program opens no file it is handed, so it claims no file types.
if grep -q '^MimeType=' "$work/root/usr/share/applications/hushleaf-browser.desktop"; then
  echo 'desktop entry claims file types'; exit 1
fi

# The kit (hushleaf_x_run) runs this script on an X server of its own, in DISPLAY.
export HOME="$work/home"
mkdir -p "$HOME"
# As root the program starts only without its sandbox, and only when told so.
sandbox=()
[ "$(id -u)" -eq 0 ] && sandbox=(--no-sandbox)
"$work/root/usr/bin/hushleaf-browser" "${sandbox[@]}" >"$work/app.log" 2>&1 &
app=$!
deadline=$((SECONDS + 90))
while [ "$SECONDS" -lt "$deadline" ]; do
  if ! kill -0 "$app" 2>/dev/null; then
    echo "installed program ended early:"
    tail -20 "$work/app.log"
    exit 1
  fi
  if xdotool search --onlyvisible --name '^Hushleaf Browser$' >/dev/null 2>&1; then
    # The start page is served from inside the installed executable.
    sleep 2
    # The start page is all grey text: some of its pixels are exactly #808080.
    import -window root "$work/shot.png"
    grey=$(convert "$work/shot.png" -fill black +opaque '#808080' -fill white -opaque '#808080' \
      -format '%[fx:mean*w*h]' info:)
    if [ "${grey%.*}" -gt 50 ]; then
      kill -0 "$app"
      echo "installed program is up, start page shown ($grey grey pixels)"
      exit 0
    fi
  fi
  sleep 0.1
done
echo "installed program showed no start page within 90 s:"
tail -20 "$work/app.log"
exit 1
