# Sourced by the set-up scripts: install_missing PACKAGE… installs, with apt-get and
# without recommended packages, those of the given Debian packages that are not
# installed yet: as root, or through sudo. A user who may not use sudo gets the
# one command to run as root, and the script stops.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null || ! sudo -v; then
            cat >&2 <<MSG
Some packages are missing. Install them as root with this command, then run this script again:

su -c 'apt-get update && apt-get install --no-install-recommends ${missing[*]}'

MSG
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}
