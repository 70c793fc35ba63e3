#!/bin/sh
# Installs the build into a scratch DESTDIR as a package would (prefix /usr),
# validates the menu entry and the software-centre file, asks every program
# for its version and usage without a display, renders the manual pages,
# tries the shell completion, runs the launcher's first-run set-up for new
# users, and searches the installed sample disk with the installed
# chronara-query as such users, with and without an INI file.
#
#   install_test.sh BUILD_DIR SOURCE_DIR CMAKE VERSION
set -u

build=$1
source=$2
cmake=${3:-cmake}
version=${4:-}

scratch_name=install
. "$(dirname "$0")/check_lib.sh"

# Runs a command with none of the caller's XDG folders: each case sets its own.
fresh() { env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CONFIG_DIRS "$@"; }

# --- install ---------------------------------------------------------------
if ! DESTDIR=$work/root "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install into a DESTDIR"
  finish
fi
pass "cmake --install into a DESTDIR"
usr=$work/root/usr
pkgdata=$usr/share/chronara
app=org.chronara.Chronara

for program in chronara chronara-query chronara-mkdisk; do
  check "bin/$program is installed and executable" test -x "$usr/bin/$program"
done
check "the viewer sits behind the launcher in libexec" test -x "$usr/libexec/chronara/chronara"
check "... with its print module beside it" test -f "$usr/libexec/chronara/chronara-print.so"
check "the launcher is a shell script, not the viewer" test "$(head -n 1 "$usr/bin/chronara")" = '#!/bin/sh'
check "... that the shell can read" sh -n "$usr/bin/chronara"
check "the sample disk is installed with its marker file" test -f "$pkgdata/sample-disk/chronaradb.id"
check "the sample disk holds the Titanic list" test -s "$pkgdata/sample-disk/titan.tre"
check "the licences are installed" test -s "$usr/share/doc/chronara/copyright"
if [ -f "$source/res/tavora7m.hlp" ]; then
  check "the help file is installed" cmp -s "$source/res/tavora7m.hlp" "$pkgdata/tavora7m.hlp"
fi

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_is_48() {
  [ "$(od -An -tu1 -j16 -N8 "$1" | tr -s ' \n' ' ')" = " 0 0 0 48 0 0 0 48 " ]
}
icons=$usr/share/icons/hicolor
check "a 48x48 PNG icon in hicolor" png_is_48 "$icons/48x48/apps/$app.png"
check "a scalable SVG icon in hicolor" grep -q '<svg' "$icons/scalable/apps/$app.svg"

# --- the menu entry and the software-centre description ---------------------
desktop=$usr/share/applications/$app.desktop
metainfo=$usr/share/metainfo/$app.metainfo.xml
# SingleMainWindow is a key of desktop entries since version 1.5; a
# validator that knows only 1.4 (Debian 12's, which says so in its --help)
# calls it an error. That one message is passed over for such a validator,
# every other one counts.
validate_desktop() {
  desktop-file-validate "$1" >"$work/desktop.msg" 2>&1
  status=$?
  cat "$work/desktop.msg"
  if desktop-file-validate --help 2>&1 | grep -qE 'Desktop Entry [a-z]+ 1\.4'; then
    grep -v 'key "SingleMainWindow" in group "Desktop Entry"' "$work/desktop.msg" >"$work/desktop.rest"
    test ! -s "$work/desktop.rest"
  else
    test "$status" -eq 0
  fi
}
echo "--- desktop-file-validate $desktop"
check "desktop-file-validate passes" validate_desktop "$desktop"
echo "--- appstreamcli validate --no-net $metainfo"
check "appstreamcli validate passes" appstreamcli validate --no-net "$metainfo"
check "the menu entry runs the launcher" grep -qx 'Exec=chronara' "$desktop"
check "the menu entry names the installed icon" grep -qx "Icon=$app" "$desktop"
check "the menu entry is no terminal program" grep -qx 'Terminal=false' "$desktop"
check "the menu entry is hidden without the launcher" grep -qx 'TryExec=chronara' "$desktop"
check "the menu entry says the viewer has one window" grep -qx 'SingleMainWindow=true' "$desktop"
check "the menu entry's categories include Qt" grep -qE '^Categories=(.*;)?Qt;' "$desktop"
check "the metainfo uses no deprecated developer_name" test -z "$(grep developer_name "$metainfo")"
check "the metainfo's newest release is $version, with notes" \
  sh -c "grep -A3 '<release version=\"$version\"' '$metainfo' | grep -q '<li>'"
check "the changelog is installed, newest release $version first" \
  test "$(gzip -dc "$usr/share/doc/chronara/changelog.gz" | head -n 1)" = "chronara ($version) unstable; urgency=medium"

# --- versions and usage, with no display and nothing to write to -------------
# A fresh HOME, an empty working folder and no environment but PATH: no
# display, no XDG folders. The viewer would abort if it started Qt.
quiet_home=$work/home-quiet
mkdir -p "$quiet_home" "$work/cwd-quiet"
bare() { (cd "$work/cwd-quiet" && env -i PATH="$PATH" HOME="$quiet_home" "$@"); }
answers() {
  bare "$usr/bin/$1" "$2" >"$work/$1$2.out" 2>"$work/$1$2.err" && test ! -s "$work/$1$2.err"
}
for program in chronara chronara-query chronara-mkdisk; do
  check "$program --version exits 0" answers $program --version
  check "... and prints '$program $version'" test "$(cat "$work/$program--version.out")" = "$program $version"
  for option in --help -h; do
    check "$program $option exits 0" answers $program $option
    check "... and prints the usage" grep -q "^Usage: $program " "$work/$program$option.out"
  done
done
check "nothing is written to a fresh HOME" test -z "$(ls -A "$quiet_home")"
check "... nor to the working folder" test -z "$(ls -A "$work/cwd-quiet")"

# --- manual pages --------------------------------------------------------------
for program in chronara chronara-query chronara-mkdisk; do
  page=$usr/share/man/man1/$program.1.gz
  rendered=$work/$program.man
  check "$program(1) renders with man -l and no warnings" \
    sh -c 'LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$1" >"$2" 2>"$2.err" && test ! -s "$2.err"' \
    _ "$page" "$rendered"
  check "... and names $program" grep -qE "^ +$program +- " "$rendered"
  # Every option of the usage text is described.
  missing=
  for option in $(tr ' [](),|=' '\n' <"$work/$program--help.out" | grep -E '^--?[a-z][a-z-]*$' | sort -u); do
    grep -qF -- "$option" "$rendered" || missing="$missing $option"
  done
  check "... and covers every option of --help${missing:+ (missing:$missing)}" test -z "$missing"
done

# --- shell completion ----------------------------------------------------------
bash_dir=$usr/share/bash-completion/completions
zsh_dir=$usr/share/zsh/vendor-completions
if bash_wanted=$(pkg-config --variable=completionsdir bash-completion 2>/dev/null); then
  check "bash completion goes where bash-completion looks ($bash_wanted)" \
    test "$work/root$bash_wanted" = "$bash_dir"
fi
if command -v zsh >/dev/null; then
  check "zsh reads /usr/share/zsh/vendor-completions" sh -c "zsh -fc 'print -l \$fpath' | grep -qx /usr/share/zsh/vendor-completions"
fi
# The words of a command line, the last being completed: the completions offered.
completes() {
  file=$1
  shift
  bash -c '. "$1" && shift && f=$1 && shift && COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && "$f"
    for word in "${COMPREPLY[@]}"; do printf "%s " "$word"; done' _ "$file" "$@"
}
for tool in chronara-query chronara-mkdisk; do
  check "bash completion of $tool is installed" bash -n "$bash_dir/$tool"
  check "zsh completion of $tool is installed" test "$(head -n 1 "$zsh_dir/_$tool")" = "#compdef $tool"
  if command -v zsh >/dev/null; then check "... and zsh can read it" zsh -n "$zsh_dir/_$tool"; fi
done
query_completes() { completes "$bash_dir/chronara-query" _chronara_query chronara-query "$@"; }
check "bash completes the --match values" \
  test "$(query_completes --match '')" = "exact prefix pattern soundex dm close "
check "bash completes a database stem" test "$(query_completes --database ww2_p)" = "ww2_pow "
check "bash offers 'all' only for listings" \
  test "$(query_completes --list --database a)$(query_completes --database a)" = "all "
check "bash completes an option" test "$(query_completes --first)" = "--first-name "
check "bash completes the research log's options" test "$(query_completes --hi)$(query_completes --sav)" = "--history --save --saved "
check "bash completes the formats of --saved" \
  test "$(query_completes --saved --format '')" = "tsv json csv gedcom "
check "bash completes chronara-mkdisk's options" \
  test "$(completes "$bash_dir/chronara-mkdisk" _chronara_mkdisk chronara-mkdisk --name)" = "--name-width "
check "the metainfo launches the menu entry" \
  grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo"

# --- first-run set-up ---------------------------------------------------------
mkdir -p "$work/sysconf-empty"
disk=$(cd "$pkgdata/sample-disk" && pwd -P)/

# A new user: the INI is written to ~/.config with the per-user scratch folder.
home=$work/home-new
mkdir -p "$home"
check "set-up for a new user succeeds" \
  fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only
ini=$home/.config/corvane.ini
tavora=$home/.local/share/chronara/
check "the INI has the section" grep -qx '\[Tavora7m\]' "$ini"
check "TavoraDir is the user's data folder" grep -qxF "TavoraDir=$tavora" "$ini"
check "ChronaraPath is the installed sample disk" grep -qxF "ChronaraPath=$disk" "$ini"
check "the scratch folder exists and is writable" test -d "$tavora" -a -w "$tavora"
check "... and is private (mode 700)" test "$(stat -c %a "$tavora")" = 700
if [ -f "$pkgdata/tavora7m.hlp" ]; then
  check "the help file is reachable from the scratch folder" \
    cmp -s "$pkgdata/tavora7m.hlp" "${tavora}tavora7m.hlp"
fi

# The same user again, after editing the INI: nothing changes.
printf '[Tavora7m]\nTavoraDir=/somewhere/else/\n' >"$ini"
cp "$ini" "$work/edited.ini"
fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only
check "an existing INI is never changed" cmp -s "$ini" "$work/edited.ini"
ls -A "$home/.config" >"$work/config-listing"
check "nothing else is left in the configuration folder" grep -qx 'corvane.ini' "$work/config-listing"
check "... and only that" test "$(wc -l <"$work/config-listing")" -eq 1

# XDG_CONFIG_HOME and XDG_DATA_HOME are honoured; HOME is then not used.
home=$work/home-xdg
mkdir -p "$home"
check "set-up with XDG folders succeeds" \
  fresh HOME="$home" XDG_CONFIG_HOME="$work/xdg-config" XDG_DATA_HOME="$work/xdg-data" \
  XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only
check "the INI goes to XDG_CONFIG_HOME" \
  grep -qxF "TavoraDir=$work/xdg-data/chronara/" "$work/xdg-config/corvane.ini"
check "HOME is left alone" test -z "$(ls -A "$home")"

# A relative XDG_CONFIG_HOME does not count, as for the viewer.
home=$work/home-relative
mkdir -p "$home"
(cd "$work" && fresh HOME="$home" XDG_CONFIG_HOME=relative XDG_CONFIG_DIRS="$work/sysconf-empty" \
  "$usr/bin/chronara" --setup-only)
check "a relative XDG_CONFIG_HOME is ignored" test -f "$home/.config/corvane.ini"
check "... and nothing is written under it" test ! -e "$work/relative"

# An INI in a system folder (after a relative entry, which is skipped) is used
# as it is: the user gets none of their own.
mkdir -p "$work/sysconf"
printf '[Tavora7m]\nTavoraDir=/srv/chronara/\n' >"$work/sysconf/corvane.ini"
home=$work/home-system
mkdir -p "$home"
check "a system-wide INI satisfies the set-up" \
  fresh HOME="$home" XDG_CONFIG_DIRS="etc/xdg:$work/sysconf" "$usr/bin/chronara" --setup-only
check "... and no user INI is written" test ! -e "$home/.config/corvane.ini"

# Something that is not a regular file in the INI's place is left alone.
home=$work/home-odd
mkdir -p "$home/.config/corvane.ini"
if fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only \
  2>"$work/odd.err"; then
  fail "a folder named corvane.ini makes the set-up fail"
else
  pass "a folder named corvane.ini makes the set-up fail"
fi
check "... the folder is untouched" test -d "$home/.config/corvane.ini" -a -z "$(ls -A "$home/.config/corvane.ini")"
check "... and the reason is given" grep -q 'corvane.ini' "$work/odd.err"

# Without HOME or XDG folders there is nowhere to write.
if fresh -u HOME XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only 2>/dev/null; then
  fail "without HOME the set-up reports failure"
else
  pass "without HOME the set-up reports failure"
fi

# A home folder whose name holds a line break cannot be written into an INI value.
home="$work/home-line
break"
mkdir -p "$home"
if fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only \
  2>/dev/null; then
  fail "a folder name the INI cannot hold is refused"
else
  pass "a folder name the INI cannot hold is refused"
fi
check "... and no INI is written" test ! -e "$home/.config/corvane.ini"

# --- the installed query tool on the installed sample disk, as a new user --------
home=$work/home-query
mkdir -p "$home"
fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara" --setup-only
query() {
  fresh HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty" "$usr/bin/chronara-query" "$@"
}
if query --database titan --surname allen >"$work/allen.out" 2>"$work/allen.err"; then
  pass "chronara-query searches the installed disk"
else
  cat "$work/allen.err"
  fail "chronara-query searches the installed disk"
fi
check "ALLEN is found in the Titanic list" grep -qE '^[1-9][0-9]* records found\.$' "$work/allen.out"

# A first-name search writes the scratch file in the user's folder.
initial=$(sed -n '2s/^[^	]*	\(.\).*/\1/p' "$work/allen.out")
case $initial in [A-Za-z]) ;; *) initial= ;; esac
if [ -n "$initial" ] &&
  query --database titan --surname allen --first-name "$initial" >"$work/first.out" 2>"$work/first.err"; then
  pass "a first-name search runs for '$initial'"
else
  cat "$work/first.err"
  fail "a first-name search runs for '$initial'"
fi
check "the first-name search finds people" grep -qE '^[1-9][0-9]* records found\.$' "$work/first.out"
# Every row's given names start with the letter (rows are the lines with tabs).
check "every row found starts with '$initial'" \
  test -z "$(grep '	' "$work/first.out" | grep -vi "^[^	]*	$initial")"
check "history.buf was written in the user's folder" test -s "$home/.local/share/chronara/history.buf"

# --- the scratch folder without TavoraDir --------------------------------------
# An empty TavoraDir, and no INI at all, both mean $XDG_DATA_HOME/chronara/,
# else ~/.local/share/chronara/, made when first needed; with neither folder
# known, the first-name search fails and nothing is written anywhere.
mkdir -p "$work/ini-empty"
printf '[Tavora7m]\nTavoraDir=\n' >"$work/ini-empty/corvane.ini"
home=$work/home-default
mkdir -p "$home" "$work/cwd-default"
# The arguments are the environment's changes.
first_name_search() {
  (cd "$work/cwd-default" && fresh "$@" "$usr/bin/chronara-query" --data-dir "$disk" --database titan \
    --surname allen --first-name "$initial" >"$work/default.out" 2>"$work/default.err")
}
check "an empty TavoraDir: the first-name search runs" \
  first_name_search HOME="$home" XDG_CONFIG_DIRS="$work/ini-empty" XDG_DATA_HOME="$work/xdg-data-new"
check "... and writes history.buf under XDG_DATA_HOME" test -s "$work/xdg-data-new/chronara/history.buf"
check "... in a folder of the user's own (mode 700)" \
  test "$(stat -c %a "$work/xdg-data-new/chronara")" = 700
check "... and HOME is left alone" test -z "$(ls -A "$home")"
check "no INI: the first-name search runs" first_name_search HOME="$home" XDG_CONFIG_DIRS="$work/sysconf-empty"
check "... and writes history.buf under ~/.local/share" test -s "$home/.local/share/chronara/history.buf"
root_had_history=no
[ -e /history.buf ] && root_had_history=yes
first_name_search -u HOME XDG_CONFIG_DIRS="$work/sysconf-empty"
check "neither HOME nor XDG_DATA_HOME: the first-name search fails with status 2" test $? -eq 2
check "... and says why" grep -q 'could not write' "$work/default.err"
check "... and nothing is written in the working folder" test -z "$(ls -A "$work/cwd-default")"
check "... nor to /" test "$root_had_history" = yes -o ! -e /history.buf

finish
