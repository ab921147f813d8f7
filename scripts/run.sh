#!/usr/bin/env bash
# Installs, builds and starts Glyphcraft.
set -euo pipefail
cd "$(dirname "$0")/.."
# xdg-utils: the opener through which Show reaches the web browser and
# Share by e-mail the mail program.
./scripts/deps.sh xdg-utils
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if [ -x build/app/Glyphcraft ]; then
  exec build/app/Glyphcraft "$@"
else
  echo "Built the libraries; the Glyphcraft program is not part of this build yet."
fi
