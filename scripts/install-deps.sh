#!/usr/bin/env bash
# Installs the Debian 12 packages the build, tests and benchmarks need, but
# only those that are missing: quick when everything is there.
set -euo pipefail

packages=(
    g++
    cmake
    ninja-build
    pkg-config
    libgtest-dev
    libgmock-dev
    libbenchmark-dev
    libsqlite3-dev
    libzip-dev
    zip
    unzip
    time
    qt6-base-dev
    cups-daemon
    cups-client
    fonts-dejavu-core
    clang-format
    clang
    libclang-rt-14-dev
    xvfb
    xauth
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
