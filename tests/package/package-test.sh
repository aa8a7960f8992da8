#!/bin/sh
# package-test.sh BUILD_DIR
#
# Makes the Debian package with `cpack -G DEB` from the build tree, unpacks it with dpkg -x
# into a temporary root and checks it as an installation would see it: the FHS layout, the
# conffile, the declared dependencies, the desktop entry and the AppStream metainfo, lintian
# without errors, warnings or missing hardening, no path of the build tree in any installed
# file. Then it runs the batch front end from that root as
# a new user with an empty home directory and no set-up: the example project runs to a valid
# result and both reports are written, and nothing is written into the unpacked root.
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/parvela-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
set -- "$work"/out/parvela_*.deb
[ -f "$1" ] || fail "no parvela_*.deb made"
deb=$1
root=$work/root
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"

# Debian's own checks: no error, no warning (hardening, copyright, changelog, description, man
# pages).
lintian --fail-on error,warning --display-info \
  "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian"; }
! grep 'hardening-no-' "$work/lintian.log" || fail "the programs lack hardening"

# Layout.
lib=$root/usr/lib/parvela
for file in parvela parvela-batch parvela-db parvela-registry models/glidarmodel \
            models/Mundremodel; do
  [ -x "$lib/$file" ] || fail "missing the program /usr/lib/parvela/$file"
done
for file in plugins/libdaxo.so plugins/daxo_substances.sqlite; do
  [ -f "$lib/$file" ] || fail "missing /usr/lib/parvela/$file"
done
for command in parvela parvela-batch parvela-db parvela-registry; do
  [ "$(readlink "$root/usr/bin/$command")" = "../lib/parvela/$command" ] ||
    fail "/usr/bin/$command is no link to ../lib/parvela/$command"
  [ -f "$root/usr/share/man/man1/$command.1.gz" ] || fail "no man page of $command"
  gzip -t "$root/usr/share/man/man1/$command.1.gz" || fail "man page of $command"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/parvela.svg" ] || fail "no icon"
desktop-file-validate "$root/usr/share/applications/parvela.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml ||
  fail "appstreamcli validate"

# The machine-wide registry is a conffile that names the plug-in's library.
grep -qx /etc/parvela/registry.ini "$work/control/conffiles" || fail "registry.ini no conffile"
[ "$(PARVELA_MACHINE_REGISTRY=$root/etc/parvela/registry.ini "$lib/parvela-registry" get \
      'SOFTWARE\Vantiro\DAXO' daxo_dll)" = /usr/lib/parvela/plugins/libdaxo.so ] ||
  fail "registry.ini does not name /usr/lib/parvela/plugins/libdaxo.so"

# What `apt install` brings: the libraries that the programs link and what they load.
depends=$(sed -n 's/^Depends: //p' "$work/control/control")
for package in libqt6widgets6 libodbc2 libsqlite3-0 unixodbc libsqliteodbc odbc-postgresql \
               qt6-qpa-plugins; do
  echo "$depends" | tr ',' '\n' | grep -q "^ *$package\( \|$\)" ||
    fail "Depends lacks $package: $depends"
done

# Nothing of the build tree is baked in: no run path, no path to it in any file.
for file in $(find "$root" -type f); do
  if file -b "$file" | grep -q '^ELF'; then
    ! readelf -d "$file" | grep -q 'R\(UN\)\?PATH' || fail "run path in $file"
  fi
done
! grep -rlF "$build" "$root" || fail "a path of the build tree in the files above"

# A new user: an empty home, no configuration of any kind, the unpacked root's registry.
home=$work/home
mkdir -p "$home" "$work/tmp"
find "$root" -printf '%p %s %T@\n' | sort >"$work/before"
as_new_user() {
  env -i HOME="$home" PATH=/usr/bin:/bin TMPDIR="$work/tmp" \
    PARVELA_MACHINE_REGISTRY="$root/etc/parvela/registry.ini" "$@"
}
as_new_user "$root/usr/bin/parvela-batch" run --project Example >"$work/run.out" \
  2>"$work/run.err" || { cat "$work/run.out" "$work/run.err"; fail "run --project Example"; }
[ "$(cat "$work/run.out")" = "$(printf '1\tExample\tvalid')" ] ||
  { cat "$work/run.out" "$work/run.err"; fail "the example assessment has no valid result"; }
as_new_user "$root/usr/bin/parvela-batch" report --project Example >"$work/summary.out" ||
  fail "report --project Example"
grep -q '<TD>Example</TD><TD>Jinhua</TD><TD>ALPHA</TD><TD>Two crop sprays</TD><TD>valid</TD>' \
  "$(cat "$work/summary.out")" || fail "the project summary shows no valid result"
as_new_user "$root/usr/bin/parvela-batch" report --assessment 1 >"$work/report.out" ||
  fail "report --assessment 1"
for line in 'GLIDAR&nbsp;REPORT<BR>' 'MUNDRE&nbsp;REPORT<BR>' 'id="chart-MUNDRE"'; do
  grep -qF "$line" "$(cat "$work/report.out")" || fail "the report lacks $line"
done
report=$(cat "$work/report.out")
[ "$report" = "$work/tmp/parvela-$(id -u)/Example.htm" ] ||
  fail "the report is not in the user's private directory in TMPDIR: $report"

# The user's own files are the user's alone.
mode_is() {
  [ "$(stat -c %a "$2")" = "$1" ] || fail "$2 has mode $(stat -c %a "$2"), not $1"
}
mode_is 600 "$report"
mode_is 700 "$(dirname "$report")"
mode_is 600 "$home/.config/parvela/parvela.ini"
mode_is 700 "$home/.config/parvela"
mode_is 600 "$home/.local/share/parvela/parvela.db"
mode_is 700 "$home/.local/share/parvela"

# The first start's per-user set-up, and nothing written into the installation.
data=$home/.local/share/parvela
grep -qF "Database=$data/parvela.db" "$home/.config/parvela/parvela.ini" ||
  fail "no per-user settings naming the per-user database"
for file in parvela.db daxo_substances.sqlite projects/1/1/GLIDAR/1.gld; do
  [ -f "$data/$file" ] || fail "missing $data/$file"
done
find "$root" -printf '%p %s %T@\n' | sort >"$work/after"
cmp -s "$work/before" "$work/after" ||
  { diff "$work/before" "$work/after"; fail "files written into the unpacked root"; }

# The database tool from the root too.
as_new_user "$root/usr/bin/parvela-db" create-sqlite "$work/tool.db" --with-scenarios \
  >/dev/null || fail "parvela-db create-sqlite"
echo "package $(basename "$deb") installs and runs"
