# Installs, with apt-get, the Debian packages a step needs when they are missing.
# Sourced by the other scripts: `need_packages pkg...`.

need_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Please install these Debian packages as root and run this again:" >&2
            echo "  dpkg --add-architecture i386 && apt-get update && apt-get install ${missing[*]}" >&2
            return 1
        fi
    fi
    if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -q || true
    if ! DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        echo "Could not install: ${missing[*]}. Install them by hand (see README.md) and run this again." >&2
        return 1
    fi
}

# The packages every build of Kilnrun needs.
KILNRUN_BUILD_PACKAGES=(g++ cmake make googletest libgtest-dev)
# The Windows build and running it under Wine.
KILNRUN_WIN32_PACKAGES=(g++-mingw-w64-i686 wine wine32:i386 binutils-mingw-w64-i686)
# The 64-bit Windows build (for 64-bit Far 3) and running it under Wine's 64-bit loader.
KILNRUN_WIN64_PACKAGES=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64)
