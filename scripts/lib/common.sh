# Shared by scripts/run and scripts/test: installs what the build needs and configures a build
# folder. Sourced, not run.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

PACKAGES=(cmake g++ ninja-build qt6-base-dev libqt6sql6-sqlite libsqlite3-dev libjpeg62-turbo-dev
          libgtest-dev googletest xvfb xauth clang-format
          postgresql postgresql-common)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# configure <build folder> [cmake options...]
configure() {
    local dir=$1
    shift
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
}

jobs() { nproc 2>/dev/null || echo 4; }

# The project's C++ files relative to the root, null-separated: what git tracks or would track, or,
# outside a git checkout, every one outside the build folders.
source_files() {
    if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$ROOT" ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h'
    else
        (cd "$ROOT" && find . -path './build*' -prune -o -path './.cache' -prune -o \
            -type f \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0')
    fi
}

# Lists the project's C++ files that clang-format (with the root .clang-format) would change, and
# fails when there is one. NUV_SKIP_FORMAT_CHECK=1 skips it, for a local run only.
check_format() {
    if [ "${NUV_SKIP_FORMAT_CHECK:-}" = 1 ]; then
        echo "Format check skipped (NUV_SKIP_FORMAT_CHECK=1)."
        return 0
    fi
    local differing=() file
    while IFS= read -r -d '' file; do
        clang-format --dry-run --Werror "$ROOT/$file" >/dev/null 2>&1 || differing+=("$file")
    done < <(source_files)
    if [ ${#differing[@]} -gt 0 ]; then
        echo "These files do not follow .clang-format (clang-format -i <file> fixes them):"
        printf '  %s\n' "${differing[@]}"
        return 1
    fi
}
