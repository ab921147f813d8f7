#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any package
# named as an argument (only what is missing).
set -euo pipefail
PKGS="cmake g++ make qtbase5-dev qtdeclarative5-dev zlib1g-dev libdeflate-dev fonts-dejavu-core $*"
missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
fi
