#!/bin/sh
# Installs the Debian packages that building, running and testing Parvela need.
set -eu
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
  build-essential cmake ninja-build pkg-config clang-format \
  qt6-base-dev qt6-qpa-plugins libgl-dev \
  unixodbc unixodbc-dev odbcinst libsqliteodbc odbc-postgresql \
  postgresql sqlite3 libsqlite3-dev libssl-dev libxml2-dev \
  libgtest-dev libgmock-dev libbenchmark-dev libsimpleini-dev nlohmann-json3-dev \
  xvfb xauth xdg-utils fonts-dejavu-core locales \
  dpkg-dev file desktop-file-utils appstream lintian
