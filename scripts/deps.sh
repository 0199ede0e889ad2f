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
WINDOWS_PACKAGES=(cmake ninja-build googletest g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 wine)
# The Windows program's tests under Wine: the fonts its windows name.
WINE_TEST_PACKAGES=(fonts-wine)
# The checks of the Windows zip (its file list and line ends) and of the Linux
# programs' hardening (readelf).
PACKAGE_TEST_PACKAGES=(unzip binutils)
# The 32-bit Windows build under Wine: Debian's 32-bit Wine (see ensure_wine32).
WINE32_PACKAGES=(wine32:i386)

# Installs WINE32_PACKAGES, first letting apt take i386 packages (once: the
# architecture is added only where it is missing). Where apt cannot install
# them, an i386 architecture added here is taken away again (else every later
# apt-get update would fetch i386 lists too, and fail with them), and the
# status is not 0.
ensure_wine32() {
  local added=""
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    added=1
  fi
  if ensure_packages "${WINE32_PACKAGES[@]}"; then
    return 0
  fi
  if [ -n "$added" ] && ! dpkg -l | awk '$4 == "i386"' | grep -q .; then
    $sudo dpkg --remove-architecture i386
  fi
  return 1
}
# scripts/screenshots: an X server in memory, window search and the capture.
SCREENSHOT_PACKAGES=(xvfb xauth xdotool imagemagick)
