#!/usr/bin/env bash
# Runs a Windows program in the project's Wine prefix, quietly.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$top/setup/wine-env.sh"
exec wine "$@"
