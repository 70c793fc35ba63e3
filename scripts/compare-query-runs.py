#!/usr/bin/env python3
"""Runs two builds of chronara-query on the same command lines and compares them.

Usage: compare-query-runs.py OLD_QUERY_BINARY NEW_QUERY_BINARY SAMPLE_DISK
                             [--runs N] [--seed S] [--keep DIR] [--show N]

Makes N (default 1000) command lines from the sample disk, the same for the
same disk and seed: page-mode searches with first names, variants and page
turns, More Info, citations, the exports, surname listings in every match
mode and format, record searches with fields, years, limits and formats,
batch files, usage errors, a disk without some database, without its marker
file, with a damaged index, and no disk at all. Each line runs once with
each binary, in a fresh installation folder of the same name, with the same
empty settings folder and a cache folder for word indexes of its own per
binary (the first record search of a database builds its index there).
Standard output, standard error and the exit status must be the same.

Prints the number of runs, how many agreed, the exit statuses seen, and the
first differences; exits with status 1 when any run differs, 0 when all
agree.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

DATABASE_ROWS = 13
STEMS = ["congen", "civmoh", "rev", "titan", "pcc", "unigen", "vnmmoh", "v_mem", "w1812", "ww1moh",
         "ww2moh", "ww2_pow", "ww2_kor", "honorol"]
MATCH_MODES = ["exact", "prefix", "pattern", "soundex", "dm", "close"]
LIST_FORMATS = ["text", "tsv", "json"]
FIND_FORMATS = ["text", "tsv", "json", "csv", "count", "gedcom"]
FIND_WORDS = ["maine", "\"20th maine\"", "mukd*", "queenstown", "southampton", "cherbourg", "infantry",
              "\"new york\"", "ohio", "virginia", "cav*", "pvt", "sgt", "army", "navy", "marine*",
              "korea", "france", "london", "john", "william*", "1864", "1944", "div", "regiment",
              "-korea", "-army", "\"st james\"", "o'brien", "captain", "engineers", "camp", "germany"]
FIND_FIELDS = ["surname", "given", "1", "2", "3", "field 4", "7", "Rank and Organization", "camp name",
               "date of death", "Place of Birth", "Entered Service At", "no such heading"]
YEARS = ["1861-1865", "1944", "1941-1945", "1776-1783", "1812-1815", "1950-1953", "1965-1970",
         "1912", "1700-2000", "1945-1941"]
# Names with letters Windows-1252 lacks (searched as their nearest letter,
# with a note), or cannot write at all (a usage error).
ODD_NAMES = ["M\u00fcller", "\u0141ukasz", "Gr\u0119bowski", "O'Brien", "Smith-Jones", "\u4e2d",
             "\u015eahin", "smith", "SMITH", "Sm\u00eft\u0125"]


def run(binary, args, env, cwd):
    done = subprocess.run([binary] + args, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    return done.returncode, done.stdout, done.stderr


def surname_pool(binary, disk, scratch, env):
    """Every surname of the disk's list databases, as (stem, surname, count)."""
    code, out, err = run(binary, ["--data-dir", disk + "/", "--install-dir", scratch + "/", "--list",
                                  "--database", "all", "--surname", "*", "--match", "pattern",
                                  "--format", "tsv"], env, scratch)
    if code != 0:
        sys.exit(f"compare-query-runs: cannot list the sample disk's surnames: {err.decode(errors='replace')}")
    pool = []
    for line in out.decode("utf-8").splitlines():
        stem, surname, count = line.split("\t")
        pool.append((stem, surname, int(count)))
    return pool


def given_names(binary, disk, scratch, env, stem, surname):
    """The given names of a surname's people, from a CSV export."""
    code, out, _ = run(binary, ["--data-dir", disk + "/", "--install-dir", scratch + "/", "--database", stem,
                                "--surname", surname, "--export", "json"], env, scratch)
    if code != 0:
        return []
    import json
    return [person["given_names"] for person in json.loads(out.decode("utf-8"))]


def make_disks(disk, work):
    """The sample disk, one without some databases, one without its marker file and
    one whose titan index is damaged; the last three as links to the sample's files."""
    disks = {"good": os.path.abspath(disk)}
    for name, leave_out in (("partial", ("titan", "pcc", "rev")), ("unmarked", ())):
        folder = os.path.join(work, "disk-" + name)
        os.makedirs(folder)
        for entry in sorted(os.listdir(disk)):
            stem = entry.split(".")[0]
            if stem in leave_out or (name == "unmarked" and entry == "chronaradb.id"):
                continue
            os.symlink(os.path.abspath(os.path.join(disk, entry)), os.path.join(folder, entry))
        disks[name] = folder
    damaged = os.path.join(work, "disk-damaged")
    os.makedirs(damaged)
    for entry in sorted(os.listdir(disk)):
        source = os.path.abspath(os.path.join(disk, entry))
        if entry == "titan.tre":
            with open(source, "rb") as index:
                data = bytearray(index.read())
            data[0:4] = b"XXXX"  # its signature
            with open(os.path.join(damaged, entry), "wb") as index:
                index.write(data)
        elif entry == "ww2moh.tre":
            with open(source, "rb") as index:
                data = bytearray(index.read())
            # A page past the first one overwritten: the lookup meets it.
            for at in range(1024, min(len(data), 4096)):
                data[at] = 0xFF
            with open(os.path.join(damaged, entry), "wb") as index:
                index.write(data)
        else:
            os.symlink(source, os.path.join(damaged, entry))
    disks["damaged"] = damaged
    disks["absent"] = os.path.join(work, "no-such-disk")
    return disks


class Generator:
    def __init__(self, seed, pool, names_of, work):
        self.rng = random.Random(seed)
        self.pool = pool
        self.names_of = names_of
        self.work = work
        self.batch_count = 0

    def database(self):
        """A database as the command line names it: a row number or a stem."""
        stem, surname, count = self.rng.choice(self.pool)
        return (str(STEMS.index(stem)) if self.rng.random() < 0.3 else stem), stem, surname, count

    def well_filled(self):
        """A surname with more than a page of people, where there are some."""
        many = [entry for entry in self.pool if entry[2] > 10]
        stem, surname, count = self.rng.choice(many if many and self.rng.random() < 0.6 else self.pool)
        return (str(STEMS.index(stem)) if self.rng.random() < 0.3 else stem), stem, surname, count

    def first_name(self, stem, surname):
        names = self.names_of(stem, surname)
        if not names or self.rng.random() < 0.15:
            return self.rng.choice(["A", "J", "Wm", "Bill", "Peggy", "Jno", "Mary", "Z", "W.", "john h"])
        name = self.rng.choice(names)
        cut = self.rng.randint(1, max(1, len(name)))
        return name[:cut]

    def batch_file(self, lines):
        self.batch_count += 1
        path = os.path.join(self.work, f"batch-{self.batch_count}.txt")
        with open(path, "w", encoding="utf-8") as batch:
            batch.write("\n".join(lines) + "\n")
        return path

    def page(self):
        shown, stem, surname, _ = self.well_filled()
        args = ["--database", shown, "--surname", self.rng.choice([surname, surname.lower(), surname.title()])]
        if self.rng.random() < 0.4:
            args += ["--first-name", self.first_name(stem, surname)]
            if self.rng.random() < 0.4:
                args.append("--variants")
        if self.rng.random() < 0.3:
            args += ["--page-size", self.rng.choice(["8", "10"])]
        if self.rng.random() < 0.6:
            args += ["--turn", "".join(self.rng.choice("nnnp") for _ in range(self.rng.randint(1, 8)))]
        if self.rng.random() < 0.1:
            args.append("--raw")
        return args

    def more_info(self):
        args = self.page()
        args += ["--more-info", str(self.rng.choice([0, 0, 1, 2, 5, 9, 7, 10, -1]))]
        return args

    def cite(self):
        args = self.page()
        if self.rng.random() < 0.3:
            args += ["--more-info", str(self.rng.randint(0, 3))]
        args += ["--cite", str(self.rng.choice([0, 1, 3, 9, 12]))]
        return args

    def export(self):
        shown, stem, surname, _ = self.database()
        args = ["--database", shown, "--surname", surname, "--export", self.rng.choice(["csv", "json", "gedcom"])]
        if self.rng.random() < 0.3:
            args += ["--first-name", self.first_name(stem, surname)]
        return args

    def listing(self):
        mode = self.rng.choice(MATCH_MODES)
        shown, stem, surname, _ = self.database()
        if self.rng.random() < 0.25:
            shown = "all"
        text = surname
        if mode == "prefix":
            text = surname[: self.rng.randint(1, max(1, len(surname)))]
        elif mode == "pattern":
            text = self.rng.choice([surname[:2] + "*", "*" + surname[-2:], surname[0] + "?" * (len(surname) - 1),
                                    "*son", "M?C*", "*"])
        elif mode == "close":
            letters = list(surname)
            if len(letters) > 2:
                where = self.rng.randrange(len(letters))
                letters[where] = self.rng.choice("aeioustr")
            text = "".join(letters)
        args = ["--list", "--database", shown, "--match", mode]
        if self.rng.random() < 0.15:
            picks = [self.rng.choice(self.pool)[1] for _ in range(self.rng.randint(1, 5))] + ["", "  x  "]
            args += ["--batch", self.batch_file(picks)]
        else:
            args += ["--surname", text]
        if self.rng.random() < 0.8:
            args += ["--format", self.rng.choice(LIST_FORMATS)]
        if self.rng.random() < 0.1:
            args.append("--raw")
        return args

    def find(self):
        shown, _, surname, _ = self.database()
        if self.rng.random() < 0.3:
            shown = "all"
        words = [self.rng.choice(FIND_WORDS) for _ in range(self.rng.randint(1, 3))]
        if self.rng.random() < 0.3:
            words.append(surname.lower())
        args = ["--database", shown]
        batch = self.rng.random() < 0.1
        if batch:
            args += ["--find-batch", self.batch_file([" ".join(words), surname, "", "maine -army"])]
        elif self.rng.random() < 0.9:
            args += ["--find", " ".join(words)]
        if self.rng.random() < 0.3 or "--find" not in args and not batch:
            args += ["--years", self.rng.choice(YEARS)]
        if self.rng.random() < 0.3:
            args += ["--field", self.rng.choice(FIND_FIELDS)]
        if self.rng.random() < 0.3:
            args += ["--limit", str(self.rng.choice([1, 2, 5, 40]))]
        if self.rng.random() < 0.8:
            formats = FIND_FORMATS[:-1] if batch else FIND_FORMATS
            args += ["--format", self.rng.choice(formats)]
        if self.rng.random() < 0.05:
            args.append("--raw")
        return args

    def odd_name(self):
        shown, _, _, _ = self.database()
        name = self.rng.choice(ODD_NAMES)
        if self.rng.random() < 0.5:
            return ["--list", "--database", shown, "--surname", name, "--match", self.rng.choice(MATCH_MODES)]
        return ["--database", shown, "--surname", name]

    def usage_error(self):
        shown, _, surname, _ = self.database()
        return self.rng.choice([
            [],
            ["--database", shown],
            ["--surname", surname],
            ["--database", "13", "--surname", surname],
            ["--database", "nosuch", "--surname", surname],
            ["--database", "all", "--surname", surname],
            ["--database", shown, "--surname", surname, "--turn", "nx"],
            ["--database", shown, "--surname", surname, "--page-size", "9"],
            ["--database", shown, "--surname", "S" * 20],
            ["--database", shown, "--surname", surname, "--first-name", "J" * 251],
            ["--database", shown, "--surname", surname, "--variants"],
            ["--database", shown, "--surname", surname, "--more-info", "x"],
            ["--database", shown, "--surname", surname, "--export", "xml"],
            ["--database", shown, "--surname", surname, "--match", "prefix"],
            ["--list", "--database", shown, "--surname", surname, "--match", "nosuch"],
            ["--list", "--database", shown, "--surname", "x" * 51],
            ["--list", "--database", shown, "--surname", surname, "--format", "csv"],
            ["--database", shown, "--find", "\"unclosed"],
            ["--database", shown, "--find", "ma*ne"],
            ["--database", shown, "--find", "-army"],
            ["--database", shown, "--find", "maine", "--limit", "0"],
            ["--database", shown, "--find", "maine", "--format", "xml"],
            ["--database", shown, "--find", "maine", "--format", "json", "--raw"],
            ["--database", shown, "--find", "maine", "--find-batch", "-"],
            ["--database", shown, "--find-batch", "", "--format", "count"],
            ["--database", shown, "--years", "18x1"],
            ["--database", shown, "--find", "maine", "--field", "no such heading"],
            ["--database", shown, "--surname", surname, "--no-such-option"],
            ["--database", shown, "--surname"],
            ["--database", shown, "--surname", surname, "--cite", "-2"],
            ["--list", "--database", shown, "--batch", os.path.join(self.work, "no-such-batch.txt")],
        ])

    def lines(self, count):
        kinds = [(self.page, 26), (self.more_info, 10), (self.cite, 6), (self.export, 9), (self.listing, 16),
                 (self.find, 20), (self.odd_name, 4), (self.usage_error, 6)]
        weights = [weight for _, weight in kinds]
        made = [["--help"], ["--version"], ["-h"]]
        while len(made) < count:
            make = self.rng.choices([kind for kind, _ in kinds], weights)[0]
            made.append(make())
        return made[:count]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("disk")
    parser.add_argument("--runs", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=33)
    parser.add_argument("--keep", help="a folder to work in and keep (default: a temporary one)")
    parser.add_argument("--show", type=int, default=5, help="how many differences to show")
    parser.add_argument("--log", help="a file to write each command line with its status and first message")
    options = parser.parse_args()
    options.old, options.new, options.disk = (os.path.abspath(path) for path in (options.old, options.new, options.disk))

    work = options.keep or tempfile.mkdtemp(prefix="compare-query-runs-")
    os.makedirs(work, exist_ok=True)
    settings = os.path.join(work, "config")
    home = os.path.join(work, "home")
    for folder in (settings, home):
        os.makedirs(folder, exist_ok=True)
    base_env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": home, "XDG_CONFIG_HOME": settings,
                "XDG_CONFIG_DIRS": settings, "XDG_DATA_HOME": os.path.join(home, "data"),
                "SOURCE_DATE_EPOCH": "1700000000"}
    scratch = os.path.join(work, "scratch")
    os.makedirs(scratch, exist_ok=True)
    scratch_env = dict(base_env, XDG_CACHE_HOME=os.path.join(work, "cache-scratch"))

    pool = surname_pool(options.old, options.disk, scratch, scratch_env)
    known = {}

    def names_of(stem, surname):
        if (stem, surname) not in known:
            known[(stem, surname)] = given_names(options.old, options.disk, scratch, scratch_env, stem, surname)
        return known[(stem, surname)]

    disks = make_disks(options.disk, work)
    generator = Generator(options.seed, pool, names_of, work)
    lines = generator.lines(options.runs)
    # Where the disk is given: most runs on the sample, some on the others,
    # some through a settings file rather than the options.
    rng = random.Random(options.seed + 1)
    cases = []
    for number, args in enumerate(lines):
        install = os.path.join(work, "install", str(number))
        where = rng.choices(["good", "partial", "unmarked", "damaged", "absent"], [80, 6, 5, 5, 4])[0]
        if args and args[0] not in ("--help", "--version", "-h"):
            args = ["--data-dir", disks[where] + "/", "--install-dir", install + "/"] + args
        env_changes = {}
        if "--cite" in args or "gedcom" in args:
            if rng.random() < 0.1:
                env_changes["SOURCE_DATE_EPOCH"] = rng.choice(["soon", "", "-5", "99999999999999999999"])
        cases.append((args, install, env_changes))

    differences = []
    statuses = {}
    for side, binary in (("old", options.old), ("new", options.new)):
        env = dict(base_env, XDG_CACHE_HOME=os.path.join(work, "cache-" + side))
        for number, (args, install, env_changes, *_) in enumerate(cases):
            shutil.rmtree(install, ignore_errors=True)
            os.makedirs(install)
            result = run(binary, args, dict(env, **env_changes), work)
            shutil.rmtree(install, ignore_errors=True)
            if side == "old":
                cases[number] = (args, install, env_changes, result)
            else:
                old = cases[number][3]
                statuses[result[0]] = statuses.get(result[0], 0) + 1
                if old != result:
                    differences.append((args, env_changes, old, result))

    agreed = len(cases) - len(differences)
    print(f"compare-query-runs: {len(cases)} runs, {agreed} agree, {len(differences)} differ")
    print("exit statuses of the new build: " +
          ", ".join(f"{status}: {count}" for status, count in sorted(statuses.items())))
    empty_out = sum(1 for case in cases if not case[3][1])
    print(f"runs with empty standard output: {empty_out}; with something on standard error: "
          f"{sum(1 for case in cases if case[3][2])}")
    for args, env_changes, old, new in differences[: options.show]:
        print("differs: chronara-query " + " ".join(args) +
              ("" if not env_changes else "  (env " + repr(env_changes) + ")"))
        for name, index in (("status", 0), ("stdout", 1), ("stderr", 2)):
            if old[index] != new[index]:
                print(f"  {name}: old {old[index]!r:.300}\n  {name}: new {new[index]!r:.300}")
    if options.log:
        with open(options.log, "w", encoding="utf-8") as log:
            for args, _, env_changes, (status, out, err) in cases:
                message = err.decode("utf-8", errors="replace").split("\n")[0]
                log.write(f"{status}\t{len(out)}\t{message}\t{' '.join(args)}\t{env_changes or ''}\n")
    if not options.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
