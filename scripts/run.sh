#!/usr/bin/env bash
# Installs what is missing, builds the release program and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DVELORIN_TESTS=OFF
export ICON_DIR="$top/assets/icons"
exec "$top/build-release/velorin" "$@"
