#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Idempotent and silent when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build ccache pkg-config make
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libpugixml-dev libsqlite3-dev libssl-dev zlib1g-dev libcurl4-openssl-dev
  nanopb libnanopb-dev protobuf-compiler clang lld
  libcairo2-dev libpango1.0-dev libfontconfig-dev fonts-inter fonts-liberation2 python3-fontforge
  libsdl2-dev libsdl2-mixer-dev libsndfile1-dev libmpg123-dev libvorbis-dev libopusfile-dev libnotify-dev lame
  xvfb xauth libx11-dev libxtst-dev python3
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
