#!/usr/bin/env bash
# Installs what is missing, builds, and runs the show from its staged run folder.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/build.sh"
cd "$top/build/run"
exec ./tolva
