# Sourced by scripts/run and scripts/test: installs the Debian packages that are missing.
# A ready machine installs nothing (dpkg-query decides before apt-get is touched).

HUSHLEAF_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-qpa-plugins
  libgl-dev libxcb1-dev libxcb-xinput-dev libxcb-xtest0-dev
  libgtest-dev libbenchmark-dev
)
HUSHLEAF_TEST_PACKAGES=(
  xvfb xauth openbox xcompmgr xdotool x11-utils imagemagick python3
  dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
  fonts-dejavu-core clang libclang-rt-14-dev clang-format dbus-x11 x11-xserver-utils
  xfwm4 fluxbox icewm mutter qt6-gtk-platformtheme vpx-tools
)

hushleaf_install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# hushleaf_configure_and_build <build dir> [target...]: no target builds everything.
hushleaf_configure_and_build() {
  local build_dir=$1
  shift
  if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}"
}
