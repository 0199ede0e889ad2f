# Installs the Debian packages a script needs, skipping those already present.
# Sourced by scripts/run and scripts/test.

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "${missing[@]}"
}

# What building the program and its command-line tool needs.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsqlite3-dev
  qt6-base-dev qt6-qpa-plugins libqt6dbus6 fonts-liberation help2man)
# What the tests need on top (appstream and desktop-file-utils check what
# software centres and menus read).
TEST_PACKAGES=(libgtest-dev googletest libbenchmark-dev clang libclang-rt-14-dev poppler-utils
  appstream desktop-file-utils)
# The deployment recipes' checks: ansible-playbook --syntax-check needs
# Ansible with its Windows collections (Debian's ansible has them).
DEPLOY_TEST_PACKAGES=(ansible)
# What the Windows build and its tests under Wine need (googletest brings the
# sources GoogleTest is built from for Windows).
WINDOWS_PACKAGES=(cmake ninja-build googletest g++-mingw-w64-x86-64 wine64 wine)
# The Windows program's tests under Wine: the fonts its windows name.
WINE_TEST_PACKAGES=(fonts-wine)
# scripts/screenshots: an X server in memory, window search and the capture.
SCREENSHOT_PACKAGES=(xvfb xauth xdotool imagemagick)
