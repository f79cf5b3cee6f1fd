# Sourced by scripts that run Wine: the project's own prefix, quiet, 32-bit.
top=${top:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX="$top/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
