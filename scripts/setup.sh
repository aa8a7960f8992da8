#!/bin/sh
# Sets up a fresh Debian machine for Parvela, builds it, creates the embedded default SQLite
# database, writes the settings file beside the executable and the machine-wide registry
# values of the build tree, and starts the program.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${PARVELA_BUILD_DIR:-$root/build}
data=${PARVELA_DATA_DIR:-$build/data}
bin=$build/bin
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

sh "$root/scripts/install-dependencies.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

# The embedded default database, made once; an existing one is kept with its data.
mkdir -p "$data"
database=$data/parvela.db
if [ ! -f "$database" ]; then
  "$bin/parvela-db" create-sqlite "$database" --with-scenarios
fi

# The settings file beside the executable: the SQLite file through the SQLite ODBC driver.
cat > "$bin/parvela.ini" <<INI
[Database]
DatabaseName=Driver=SQLite3;Database=$database
UserName=
Password=
INI

# The machine-wide registry values of this build tree: where the projects live and where the
# substance plug-in library is.
machine_registry=${PARVELA_MACHINE_REGISTRY:-/etc/parvela/registry.ini}
registry="$bin/parvela-registry --store $machine_registry"
if [ ! -w "$(dirname "$machine_registry")" ] && [ ! -w "$machine_registry" ]; then
  registry="$SUDO $registry"
fi
$registry set-string 'SOFTWARE\PARVELA\VERSION_2.4.2_CN' DataPath "$data/"
if [ -f "$bin/plugins/libdaxo.so" ]; then
  $registry set-string 'SOFTWARE\Vantiro\DAXO' daxo_dll "$bin/plugins/libdaxo.so"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Parvela is built and set up, but there is no display to show its window on."
  echo "Start it under a virtual display with:"
  echo "    xvfb-run -a $bin/parvela"
  echo "or from a desktop session with:"
  echo "    $bin/parvela"
  exit 0
fi
exec "$bin/parvela"
