#!/usr/bin/env bash
# Creates the project's Wine prefix without any prompt or window: Mono and
# Gecko are switched off so wineboot never asks to download them.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/setup/wine-env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "setup: creating Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "setup: Wine prefix was not created" >&2; exit 1; }
