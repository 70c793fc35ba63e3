#!/bin/sh
# Builds the Debian package from the build folder into a scratch folder and
# checks what apt will see: the name, the dependencies dpkg-shlibdeps read off
# the programs (the Qt 6 libraries, xxHash, SQLite for the research log and
# the C/C++ run-time, nothing more), the recommendations, the files and their owners and modes; then what lintian
# says of it: no error and no warning, the national-encoding of the sample
# disk's record files being overridden.
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
check "it depends on xxHash" grep -qx 'libxxhash0' "$work/depends"
check "it depends on SQLite, which keeps the research log" grep -qx 'libsqlite3-0' "$work/depends"
others=$(grep -vxE 'libqt6[a-z]+6|libxxhash0|libsqlite3-0|libc6|libgcc-s1|libstdc\+\+6' "$work/depends")
check "nothing but Qt 6, xxHash, SQLite and the C/C++ run-time" test -z "$others"
[ -z "$others" ] || echo "unexpected: $others"

recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
check "it recommends qt6-wayland" sh -c "printf '%s\n' '$recommends' | tr ',' '\n' | grep -qx ' *qt6-wayland'"

dpkg-deb -c "$deb" >"$work/contents"
for file in ./usr/bin/chronara ./usr/bin/chronara-query ./usr/bin/chronara-mkdisk \
  ./usr/libexec/chronara/chronara ./usr/libexec/chronara/chronara-print.so \
  ./usr/share/chronara/sample-disk/chronaradb.id \
  ./usr/share/applications/org.chronara.Chronara.desktop \
  ./usr/share/metainfo/org.chronara.Chronara.metainfo.xml \
  ./usr/share/icons/hicolor/48x48/apps/org.chronara.Chronara.png \
  ./usr/share/doc/chronara/copyright ./usr/share/doc/chronara/changelog.gz \
  ./usr/share/man/man1/chronara.1.gz ./usr/share/man/man1/chronara-query.1.gz \
  ./usr/share/man/man1/chronara-mkdisk.1.gz ./usr/share/bash-completion/completions/chronara-query \
  ./usr/share/bash-completion/completions/chronara-mkdisk ./usr/share/zsh/vendor-completions/_chronara-query \
  ./usr/share/zsh/vendor-completions/_chronara-mkdisk ./usr/share/lintian/overrides/chronara; do
  check "the package holds $file" grep -q " $file\$" "$work/contents"
done
check "everything is owned by root" test -z "$(awk '$2 != "root/root"' "$work/contents")"
check "directories are rwxr-xr-x" test -z "$(awk '/^d/ && $1 != "drwxr-xr-x"' "$work/contents")"
check "files are rw-r--r-- or rwxr-xr-x" \
  test -z "$(awk '/^-/ && $1 != "-rw-r--r--" && $1 != "-rwxr-xr-x"' "$work/contents")"
check "only programs are executable" \
  test -z "$(awk '$1 == "-rwxr-xr-x" && $6 !~ /^\.\/usr\/(bin|libexec)\//' "$work/contents")"

# lintian, once (it is slow): the whole output for the record, then only
# errors and warnings fail. Overridden tags are shown as O: lines.
if ! command -v lintian >/dev/null; then
  fail "lintian is installed (scripts/install-deps.sh installs it)"
  finish
fi
echo "--- lintian --pedantic --info --show-overrides $(basename "$deb")"
lintian --pedantic --info --show-overrides "$deb" >"$work/lintian.out" 2>"$work/lintian.err"
lintian_status=$?
grep -v '^N:' "$work/lintian.out"
grep -v 'running with root privileges' "$work/lintian.err"
check "lintian ran" test "$lintian_status" -eq 0 -o "$lintian_status" -eq 2
check "lintian reports no error and no warning" test -z "$(grep -E '^[EW]: ' "$work/lintian.out")"
# Every .ext file that is not UTF-8 is named by the override.
check "the national-encoding override covers the sample disk's record files" \
  test -z "$(grep '^O: ' "$work/lintian.out" |
    grep -vE '^O: chronara: national-encoding \[usr/share/chronara/sample-disk/[a-z0-9_]+\.ext\]$')"
check "... and is used" grep -q '^O: chronara: national-encoding ' "$work/lintian.out"
others=$(grep -E '^[PIX]: ' "$work/lintian.out")
[ -z "$others" ] || printf 'note: lintian also says\n%s\n' "$others"

finish
