#!/bin/sh
# Builds the Debian package from the build folder into a scratch folder and
# checks what apt will see: the name, the dependencies dpkg-shlibdeps read off
# the programs (the Qt 6 libraries and the C/C++ run-time, nothing more), and
# the files and their owners and modes.
#
#   package_test.sh BUILD_DIR VERSION [CPACK]
set -u

build=$1
version=$2
cpack=${3:-cpack}

scratch_name=package
. "$(dirname "$0")/check_lib.sh"

if ! (cd "$build" && "$cpack" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log"
  fail "cpack -G DEB"
  finish
fi
pass "cpack -G DEB"
deb=$(ls "$work/out"/chronara_*.deb 2>/dev/null)
check "one package named chronara_<version>_<arch>.deb" test -f "$deb"
[ -f "$deb" ] || finish

check "the package is chronara" test "$(dpkg-deb -f "$deb" Package)" = chronara
check "its version is $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# One package name a line, versions dropped.
printf '%s\n' "$depends" | tr ',' '\n' | sed 's/(.*)//; s/^ *//; s/ *$//' >"$work/depends"
check "it depends on Qt 6 Core" grep -qx 'libqt6core6' "$work/depends"
check "it depends on Qt 6 Widgets" grep -qx 'libqt6widgets6' "$work/depends"
others=$(grep -vxE 'libqt6[a-z]+6|libc6|libgcc-s1|libstdc\+\+6' "$work/depends")
check "nothing but Qt 6 and the C/C++ run-time" test -z "$others"
[ -z "$others" ] || echo "unexpected: $others"

dpkg-deb -c "$deb" >"$work/contents"
for file in ./usr/bin/chronara ./usr/bin/chronara-query ./usr/bin/chronara-mkdisk \
  ./usr/libexec/chronara/chronara ./usr/share/chronara/sample-disk/chronaradb.id \
  ./usr/share/applications/org.chronara.Chronara.desktop \
  ./usr/share/metainfo/org.chronara.Chronara.metainfo.xml \
  ./usr/share/icons/hicolor/48x48/apps/org.chronara.Chronara.png \
  ./usr/share/doc/chronara/copyright; do
  check "the package holds $file" grep -q " $file\$" "$work/contents"
done
check "everything is owned by root" test -z "$(awk '$2 != "root/root"' "$work/contents")"
check "directories are rwxr-xr-x" test -z "$(awk '/^d/ && $1 != "drwxr-xr-x"' "$work/contents")"
check "files are rw-r--r-- or rwxr-xr-x" \
  test -z "$(awk '/^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x"' "$work/contents")"
check "only programs are executable" \
  test -z "$(awk '$1 == "-rwxr-xr-x" && $6 !~ /^\.\/usr\/(bin|libexec)\//' "$work/contents")"

finish
