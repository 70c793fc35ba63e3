#!/usr/bin/env bash
# Fails one system call of chronara-query on the data files and history.buf
# (and, in a search made while another process holds history.buf, on its
# private scratch file) in turn, with strace's fault injection, for every
# position K of every kind of call, in eleven searches and record
# searches (--find, each while its word index is built, and again with the
# index built, whose file is then failed too); checks that each run either
# prints the answer of the run without faults (and nothing on stderr) or
# prints nothing on stdout, says why on stderr and exits non-zero; that
# EINTR is never a failure; that an I/O error is never "wrong file format!";
# that no half-written index is left; and that the data folder is left byte
# for byte as it was.
#
#   scripts/io-fault-sweep.sh [BUILD]     (default build/release; needs strace)
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/release}
query=$build/tools/query/chronara-query
command -v strace >/dev/null || { echo "io-fault-sweep: strace is not installed" >&2; exit 2; }
# Where tracing is not allowed (a container without ptrace), there is nothing to sweep with.
if ! strace -f -qq -o /dev/null true 2>/dev/null; then
  echo "io-fault-sweep: skipped: this machine does not allow tracing" >&2
  exit 0
fi
[[ -x $query && -d $build/sample-disk ]] || { echo "io-fault-sweep: build $build first" >&2; exit 2; }

# The searches are shared among as many parts as there are processors, each
# on a copy of the disk and folders of its own; the parts' counts are added.
if [[ -z ${SWEEP_PART:-} ]]; then
  parts=${SWEEP_PARTS:-$(nproc 2>/dev/null || echo 1)}
  ((parts < 1)) && parts=1
  ((parts > 4)) && parts=4
  logs=$(mktemp -d)
  trap 'rm -rf "$logs"' EXIT
  pids=()
  for ((part = 0; part < parts; part++)); do
    SWEEP_PART=$part/$parts "${BASH_SOURCE[0]}" "$build" >"$logs/$part" 2>&1 &
    pids+=($!)
  done
  status=0
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
  runs=0 failed=0 bad=0
  for ((part = 0; part < parts; part++)); do
    grep -v '^io-fault-sweep: part ' "$logs/$part"
    read -r r f b < <(sed -n 's/^io-fault-sweep: part [0-9/]*: \([0-9]*\) \([0-9]*\) \([0-9]*\)$/\1 \2 \3/p' "$logs/$part")
    [[ -n ${r:-} ]] || { echo "io-fault-sweep: part $part said no counts"; status=1; continue; }
    runs=$((runs + r)) failed=$((failed + f)) bad=$((bad + b))
  done
  echo "io-fault-sweep: $runs runs, $failed stopped with a message and a non-zero status, $bad wrong"
  ((bad == 0 && status == 0))
  exit
fi
part=${SWEEP_PART%/*} parts=${SWEEP_PART#*/}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disk=$work/disk
install=$work/install
cp -r "$build/sample-disk" "$disk"
mkdir -p "$install"
# Any write, truncation, creation or removal moves a file's or the folder's
# modification and change times, far cheaper to read than the disk itself.
digest() { (cd "$disk" && stat -c '%n %s %y %z' -- . *); }
clean=$(digest)

searches=(
  "--database w1812 --surname smith --turn nnpp"
  "--database w1812 --surname smith --first-name j --turn nnp"
  "--database titan --surname allen --more-info 0"
  "--database titan --surname allen --record 0 --cite 1"
  "--database titan --surname allen --export csv"
  "--database w1812 --surname smith --first-name j --more-info 1"
  "--database w1812 --surname nobodyhere"
  "--database w1812 --surname smith --first-name jo --export gedcom"
  "--database w1812 --surname smith --first-name wm --variants --turn n"
  "--database w1812 --list --surname smtih --match close"
  "held --database w1812 --surname smith --first-name j --turn nnp"
  "build --database civmoh --find chamberlain --format tsv"
  "build --database titan --find queenstown --field 7 --format count"
  "build --database ww2_kor --years 1944 --format count"
  "built --database civmoh --find chamberlain --format json"
  "built --database titan --find queenstown --field 7 --limit 3"
  "built --database ww2_kor --years 1944 --format count"
  "built --database ww2_kor --find army --years 1950-1953 --format count"
  "built --database ww2_kor --find army --years 1944 --limit 3"
  "build --database civmoh --find pa --abbreviations --facet years"
  "built --database civmoh --find infantry --facet field:3 --format json"
)
# The family-tree export is dated; the same day for every run.
export SOURCE_DATE_EPOCH=1767225600
# Record searches keep their indexes here; "build" starts each run without one.
cache=$work/cache
export XDG_CACHE_HOME=$cache
calls=(openat pread64 pwrite64 newfstatat ftruncate close flock)
# No code tells ENOMEM from EIO, so it is not swept; a full disk is told
# apart, and can come only from the calls that write.
faults=(error=EIO error=EINTR)

runs=0 failed=0 bad=0
complain() { bad=$((bad + 1)); echo "$*"; }
prepare() { :; }
for ((number = 0; number < ${#searches[@]}; number++)); do
  ((number % parts == part)) || continue
  search=${searches[number]}
  read -r -a args <<<"$search"
  held=
  prepare() { :; }
  case ${args[0]} in
    held)
      # As if another program showed its hits from history.buf: this shell
      # holds the lock, so the tool works in a private file in the folder.
      args=("${args[@]:1}")
      exec {held}>>"$install/history.buf"
      flock -x "$held"
      ;;
    build) args=("${args[@]:1}"); prepare() { rm -rf "$cache"; } ;;
    built) args=("${args[@]:1}"); rm -rf "$cache" ;;
  esac
  stem=${args[1]}
  paths=(-P "$disk/$stem.ext" -P "$disk/$stem.cor" -P "$disk/$stem.tre" -P "$disk/$stem.fld"
         -P "$disk/$stem.src" -P "$disk/chronaradb.id" -P "$install/history.buf" -P "$install")
  prepare
  expected=$("$query" --data-dir "$disk" --install-dir "$install" "${args[@]}" 2>/dev/null)
  for index in "$cache"/chronara/"$stem"-*.words; do
    [[ ${search%% *} == built && -f $index ]] && paths+=(-P "$index")
  done
  for call in "${calls[@]}"; do
    prepare
    n=$(strace -f -qq -e trace="$call" "${paths[@]}" -o "$work/trace" \
          "$query" --data-dir "$disk" --install-dir "$install" "${args[@]}" >/dev/null 2>&1
        grep -c "^[0-9 ]*$call(" "$work/trace")
    for ((k = 1; k <= n; k++)); do
      kinds=("${faults[@]}" "error=EIO:from")
      [[ $call == pwrite64 || $call == ftruncate ]] && kinds+=(error=ENOSPC)
      for fault in "${kinds[@]}"; do
        when="when=$k"
        [[ $fault == *:from ]] && { fault=${fault%:from}; when="when=$k+"; }
        prepare
        out=$(strace -f -qq -o /dev/null -e trace="$call" -e inject="$call:$fault:$when" "${paths[@]}" \
                "$query" --data-dir "$disk" --install-dir "$install" "${args[@]}" 2>"$work/err")
        status=$?
        runs=$((runs + 1))
        what="$search | $call $fault $when"
        if ((status == 0)); then
          [[ $out == "$expected" && ! -s $work/err ]] || complain "changed answer with status 0: $what"
        else
          failed=$((failed + 1))
          [[ -s $work/err ]] || complain "status $status without a word: $what"
          [[ $fault == error=EINTR ]] && complain "EINTR not retried (status $status): $what"
          grep -q "wrong file format" "$work/err" && complain "I/O error shown as a format error: $what"
          [[ -z $out ]] || grep -q "has no row\|insert" "$work/err" || complain "partial output: $what"
        fi
        compgen -G "$cache/chronara/*.tmp-*" >/dev/null && complain "a half-written index was left: $what"
        if [[ $(digest) != "$clean" ]]; then
          complain "the data folder changed: $what"
          rm -rf "$disk" && cp -r "$build/sample-disk" "$disk"
          clean=$(digest)
        fi
      done
    done
  done
  [[ -n $held ]] && exec {held}>&-
done
echo "io-fault-sweep: part $part/$parts: $runs $failed $bad"
