# Shared by scripts/run and scripts/test: installs the Debian packages the
# build needs, only those that are missing.

DEDUR_PACKAGES=(cmake ninja-build g++
    qt6-base-dev libgl-dev qt6-qpa-plugins fonts-dejavu-core
    libfreetype-dev zlib1g-dev libpng-dev libkainjow-mustache-dev libtomlplusplus-dev
    libgif-dev libjpeg-dev libstb-dev pkgconf
    fonts-wqy-zenhei fonts-unifont xfonts-intl-chinese console-setup-linux)
# The tests and benchmarks; the desktop tests drive the editor under a
# virtual X server; the sources' format is checked; the installed tree is
# validated as a desktop would read it.
DEDUR_TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xdotool imagemagick clang-format
    desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db
    bash-completion python3 rustc xfonts-utils pcf2bdf gifsicle
    xfonts-base xfonts-unifont fontforge-nox)
# Making the Debian package.
DEDUR_PACKAGE_PACKAGES=(dpkg-dev file)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
