#!/usr/bin/env python3
"""How many faults does the test suite notice?

Samples small changes to the program's C++ files (one at a time: a comparison
flipped, + and -, * and /, && and || swapped, a condition negated, a constant
changed, a statement with an effect deleted), applies each in a scratch copy of
the tree, rebuilds incrementally, runs the whole suite and reports whether some
test failed (killed), none did (survived), the change did not compile, or it compiled to the
very same machine code as the unchanged tree (a default always overwritten, a rounding the
compiler folds away: no change of the program at all). Those last two are replaced by
another change and not counted. The scratch build is optimised (-O1, without debug
information, which would record columns) so that the comparison sees through such changes.

    python3 scripts/mutants.py                 # 40 changes, a random seed (printed)
    python3 scripts/mutants.py --seed 7 -n 60
    python3 scripts/mutants.py --list changes.txt
    python3 scripts/mutants.py --file app/inifile.cpp --tests 'inifile|settings'

--file surveys one file: a change of each operator on each of its lines. --tests runs only
the tests whose names match, which is quicker, for finding the gaps a file's own tests leave;
a survivor there may still be killed by another test (run the survivors again with --list).

A list has one change a line, as this script prints them:

    collage/collagetext.cpp:160: IsLightFastest => IsLightFast

The line number is a hint: when that line no longer holds the old text, the
nearest line that does is changed. An empty replacement deletes the statement.
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
NOT_PROGRAM = ("tests/", "fuzz/", "bench/", "tools/")


@dataclass
class Mutant:
    path: str
    line: int  # 1-based
    op: str
    old: str
    new: str

    def listed(self):
        return f"{self.path}:{self.line}: {self.old} => {self.new}"


def program_files():
    names = subprocess.run(
        ["git", "ls-files", "-co", "--exclude-standard", "*.cpp", "*.h"],
        cwd=ROOT, check=True, capture_output=True, text=True).stdout.split()
    return sorted(n for n in names if "/" in n and not n.startswith(NOT_PROGRAM)
                  and (ROOT / n).is_file())


def code_of(line, in_comment):
    """The line with comments, strings and character literals blanked out (same
    length, so columns still match), and whether a block comment runs on."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            if end < 0:
                out.append(" " * (n - i))
                return "".join(out), True
            out.append(" " * (end + 2 - i))
            i, in_comment = end + 2, False
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        elif line.startswith("/*", i):
            in_comment = True
        elif line[i] in "\"'":
            quote, j = line[i], i + 1
            while j < n and line[j] != quote:
                j += 2 if line[j] == "\\" else 1
            out.append(line[i] + " " * (min(j, n) - i - 1) + (quote if j < n else ""))
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_comment


COMPARISONS = {" == ": [" != "], " != ": [" == "], " < ": [" <= ", " >= "],
               " <= ": [" < ", " > "], " > ": [" >= ", " <= "], " >= ": [" > ", " < "]}
ARITHMETIC = {" + ": [" - "], " - ": [" + "], " * ": [" / "], " / ": [" * "],
              " += ": [" -= "], " -= ": [" += "]}
LOGICAL = {" && ": [" || "], " || ": [" && "]}
SKIPPED = re.compile(r"^\s*(#|static_assert|Q_ASSERT|Q_OBJECT|qWarning|qDebug|template\b)")
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+(\.\d+)?)([uUlLfF]*)(?![\w.])")
STATEMENT = re.compile(
    r"^\s*(?:[\w:.\->\[\]()*]+\s*(?:=|\+=|-=|\*=|/=|\|=|&=|<<=|>>=)\s*\S.*"
    r"|[\w:.\->\[\]!]+\s*\(.*\)|(?:\+\+|--)[\w.\->]+|[\w.\->]+(?:\+\+|--)"
    r"|return|break|continue|Q_EMIT\s.*)\s*;\s*$")


def condition_span(code, keyword):
    """Start and end of the parenthesised condition after keyword, on this line."""
    m = re.search(r"\b%s\s*\(" % keyword, code)
    if not m:
        return None
    depth = 0
    for j in range(m.end() - 1, len(code)):
        depth += {"(": 1, ")": -1}.get(code[j], 0)
        if depth == 0:
            return m.end(), j
    return None


def mutations(line, code):
    """Every change the operators allow on one line, by operator."""
    found = {}

    def add(op, start, old, new):
        found.setdefault(op, []).append((start, old, new))

    for op, table in (("ROR", COMPARISONS), ("AOR", ARITHMETIC), ("LCR", LOGICAL)):
        for old, news in table.items():
            for m in re.finditer(re.escape(old), code):
                for new in news:
                    add(op, m.start(), old, new)
    for keyword in ("if", "while"):
        span = condition_span(code, keyword)
        if span and span[1] > span[0]:
            start = span[0]
            if ";" in code[span[0]:span[1]]:  # if (init; condition): only the condition
                start = code.rindex(";", span[0], span[1]) + 1
                start += len(line[start:span[1]]) - len(line[start:span[1]].lstrip())
            cond = line[start:span[1]]
            add("NEG", start, cond, "!(" + cond + ")")
    for m in NUMBER.finditer(code):
        text = m.group(0)
        if m.group(2):
            new = repr(float(m.group(1)) * 2 + 1) + m.group(3)
        else:
            digits = m.group(1)
            value = int(digits, 8 if digits[0] == "0" and digits[1:].isdigit() else 0)
            changed = value + 1 if value != 1 else 0
            new = (hex(changed) if digits[:2] in ("0x", "0X") else str(changed)) + m.group(3)
        add("CONST", m.start(), text, new)
    for m in re.finditer(r"\b(true|false)\b", code):
        add("CONST", m.start(), m.group(1), "false" if m.group(1) == "true" else "true")
    if STATEMENT.match(code) and code.count("(") == code.count(")"):
        stmt = line.strip()
        add("DEL", line.index(stmt), stmt, "")
    return found


def candidates(path):
    """(line number, operator, start, old, new) of every change in one file."""
    result, in_comment = [], False
    for number, line in enumerate((ROOT / path).read_text().splitlines(), 1):
        code, in_comment = code_of(line, in_comment)
        if not code.strip() or SKIPPED.match(code):
            continue
        result.append((number, mutations(line, code)))
    return [(n, ops) for n, ops in result if ops]


def folder_shares(files, count):
    """count spread over the folders by their lines of code, largest remainder."""
    sizes = {}
    for path in files:
        lines = sum(1 for _ in candidates(path))
        sizes[path.split("/")[0]] = sizes.get(path.split("/")[0], 0) + lines
    total = sum(sizes.values())
    exact = {f: count * s / total for f, s in sizes.items()}
    share = {f: int(v) for f, v in exact.items()}
    for f in sorted(exact, key=lambda f: exact[f] - share[f], reverse=True)[:count - sum(share.values())]:
        share[f] += 1
    return share


def sampled(count, rng):
    """For each folder, its share of changes then a shuffled reserve."""
    files = program_files()
    by_folder = {}
    for path in files:
        for number, ops in candidates(path):
            by_folder.setdefault(path.split("/")[0], []).append((path, number, ops))
    share = folder_shares(files, count)
    for folder in sorted(by_folder):
        lines = by_folder[folder]
        rng.shuffle(lines)
        queue = []
        for path, number, ops in lines:
            op = rng.choice(sorted(ops))
            _, old, new = rng.choice(ops[op])
            queue.append(Mutant(path, number, op, old, new))
        yield folder, share.get(folder, 0), queue


def surveyed(path, rng):
    """A change of each operator on every line of one file."""
    queue = []
    for number, ops in candidates(path):
        for op in sorted(ops):
            _, old, new = rng.choice(ops[op])
            queue.append(Mutant(path, number, op, old, new))
    return queue


def known_unseen():
    """The changes docs/mutants.md shows no user can see, as (path, line, old, new), each at the
    line nearest its hint that holds the old text."""
    known = set()
    for row in (ROOT / "docs" / "mutants.md").read_text().splitlines():
        if not row.startswith("| `"):
            continue
        for text in re.findall(r"`([^`]+)`", row.split(" | ")[0]):
            m = LISTED.match(text.replace("\\|", "|"))
            if not m or not (ROOT / m.group(1)).is_file():
                continue
            lines = (ROOT / m.group(1)).read_text().split("\n")
            holding = [i for i, line in enumerate(lines) if m.group(3) in line]
            if holding:
                line = 1 + min(holding, key=lambda i: abs(i + 1 - int(m.group(2))))
                known.add((m.group(1), line, m.group(3), m.group(4) or ""))
    return known


LISTED = re.compile(r"^(\S+?):(\d+): (.*?) =>(?: (.*))?$")


def listed(file):
    pattern = LISTED
    for raw in Path(file).read_text().splitlines():
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        m = pattern.match(raw.rstrip())
        if not m:
            sys.exit(f"mutants: cannot read the change: {raw}")
        yield Mutant(m.group(1), int(m.group(2)), "LIST", m.group(3), m.group(4) or "")


class Scratch:
    """A copy of the tree with its own build, changed one file at a time."""

    def __init__(self, work, timeout, jobs, tests=None):
        self.src, self.build = work / "src", work / "build"
        self.timeout, self.jobs, self.tests = timeout, jobs, tests
        self.sync()
        # Every change relinks each test program: a faster linker, where there is one, pays.
        linker = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=mold"] if shutil.which("mold") else []
        # Debug keeps the assertions; -O1 removes dead stores and folds constants, so a change
        # that alters nothing compiles to the same objects.
        subprocess.run(["cmake", "-S", self.src, "-B", self.build, "-DCMAKE_BUILD_TYPE=Debug",
                        "-DCMAKE_CXX_FLAGS_DEBUG=-O1", f"-DTESSARIN_TEST_TIMEOUT={timeout}",
                        *linker], check=True, stdout=subprocess.DEVNULL)
        self.objects = {}

    def sync(self):
        """Copy what differs, so unchanged files keep their times and stay built."""
        names = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                               check=True, capture_output=True, text=True).stdout.splitlines()
        for name in names:
            source, target = ROOT / name, self.src / name
            if not source.is_file():
                continue
            if target.is_file() and target.read_bytes() == source.read_bytes():
                continue
            target.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, target)
            os.utime(target)
        # A file moved or removed since the last run would otherwise still be built.
        kept = {self.src / name for name in names}
        for stale in [p for p in self.src.rglob("*") if p.is_file() and p not in kept]:
            stale.unlink()

    def compiles(self):
        done = subprocess.run(["cmake", "--build", self.build, "-j", str(self.jobs)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return done.returncode == 0

    def object_files(self):
        return {path: path.read_bytes() for path in self.build.rglob("*.o")}

    def remember_objects(self):
        """The unchanged tree's objects, to tell a change that compiles to the same code."""
        self.objects = self.object_files()

    def same_code(self):
        return self.object_files() == self.objects

    def failing_tests(self):
        """The tests that failed or ran out of time (the first ones: the run stops at a failure,
        which is all a change needs); None when all passed."""
        done = subprocess.run(["ctest", "-j", str(self.jobs), "--timeout", str(self.timeout),
                               "--stop-on-failure", *(["-R", self.tests] if self.tests else [])],
                              cwd=self.build, capture_output=True, text=True)
        if done.returncode == 0:
            return None
        failed = re.findall(r"^\s*\d+ - (\S+) \(", done.stdout, re.M)
        return failed or ["ctest exit %d" % done.returncode]

    def apply(self, mutant):
        """Writes the change into the copy; returns the original text, or None when
        the old text is nowhere near the line."""
        target = self.src / mutant.path
        original = target.read_text()
        lines = original.split("\n")
        hint = mutant.line - 1
        holding = [i for i, l in enumerate(lines) if mutant.old in l]
        if not holding:
            return None
        index = min(holding, key=lambda i: abs(i - hint))
        line = lines[index]
        code, _ = code_of(line, False)
        # Prefer an occurrence in code over one in a comment or a string.
        starts = [m.start() for m in re.finditer(re.escape(mutant.old), line)]
        start = next((s for s in starts if code[s:s + len(mutant.old)] == mutant.old), starts[0])
        new = mutant.new
        if not new and mutant.old == line.strip():
            new = ";"  # a deleted statement leaves an empty one, so an unbraced if keeps its body
        lines[index] = line[:start] + new + line[start + len(mutant.old):]
        mutant.line = index + 1
        target.write_text("\n".join(lines))
        return original

    def restore(self, mutant, original):
        (self.src / mutant.path).write_text(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("-n", "--count", type=int, default=40, help="changes to score (40)")
    parser.add_argument("--seed", type=int, help="the sample's seed (random when not given)")
    parser.add_argument("--list", metavar="FILE", help="run these changes instead of a sample")
    parser.add_argument("--file", metavar="PATH", help="every line of this file instead of a sample")
    parser.add_argument("--tests", metavar="REGEX", help="run only the tests whose names match")
    parser.add_argument("--timeout", type=int, default=60,
                        help="seconds one test may take before it counts as failed (60)")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--dry-run", action="store_true",
                        help="print the sample (the share of each folder and a reserve) and stop")
    parser.add_argument("--work", type=Path, default=Path("/tmp/tessarin-mutants"),
                        help="the scratch copy and its build, kept between runs")
    args = parser.parse_args()

    if args.list:
        groups = [("list", None, list(listed(args.list)))]
    elif args.file:
        seed = args.seed if args.seed is not None else 0
        groups = [("file", None, surveyed(args.file, random.Random(seed)))]
    else:
        seed = args.seed if args.seed is not None else random.SystemRandom().randrange(10**6)
        print(f"seed {seed}, {args.count} changes", flush=True)
        groups = list(sampled(args.count, random.Random(seed)))
    # A listed change is run as asked; a drawn one that is known to be unseen is replaced.
    unseen = set() if args.list else known_unseen()
    if args.dry_run:
        for folder, share, queue in groups:
            wanted = len(queue) if share is None else share
            for mutant in queue[:wanted + 2]:
                known = (mutant.path, mutant.line, mutant.old, mutant.new) in unseen
                print(f"  {folder:8} {mutant.op:5} {mutant.listed()}{'  (unseen)' * known}")
        return 0

    scratch = Scratch(args.work, args.timeout, args.jobs, args.tests)
    started = time.monotonic()
    print("building the scratch copy and running the suite once unchanged ...", flush=True)
    if not scratch.compiles() or scratch.failing_tests() is not None:
        sys.exit("mutants: the unchanged tree does not build or its suite fails")
    scratch.remember_objects()

    killed, survivors, stillborn, unchanged, skipped, scored = 0, [], 0, 0, 0, 0
    for folder, share, queue in groups:
        wanted = len(queue) if share is None else share
        done = 0
        for mutant in queue:
            if done == wanted:
                break
            if (mutant.path, mutant.line, mutant.old, mutant.new) in unseen:
                skipped += 1
                print(f"  known unseen {mutant.listed()}", flush=True)
                continue
            original = scratch.apply(mutant)
            if original is None:
                print(f"  not found    {mutant.listed()}", flush=True)
                done += share is None
                continue
            try:
                compiled = scratch.compiles()
                if not compiled or scratch.same_code():
                    if compiled:
                        unchanged += 1
                    else:
                        stillborn += 1
                    print(f"  {'same code' if compiled else 'no compile':12} {mutant.listed()}",
                          flush=True)
                    if share is None:
                        done += 1
                    continue
                failed = scratch.failing_tests()
            finally:
                scratch.restore(mutant, original)
            done += 1
            scored += 1
            if failed:
                killed += 1
                print(f"  killed       {mutant.listed()}   [{', '.join(failed)}]", flush=True)
            else:
                survivors.append(mutant)
                print(f"  SURVIVED     {mutant.listed()}", flush=True)
    scratch.compiles()  # leave the copy built as the tree is

    minutes = (time.monotonic() - started) / 60
    rate = 100.0 * killed / scored if scored else 0.0
    print(f"\n{killed} of {scored} changes killed: {rate:.0f} % "
          f"({stillborn} did not compile, {unchanged} compiled to the same code, {skipped} are "
          f"listed in docs/mutants.md as unseen; all replaced; {minutes:.1f} min)")
    if survivors:
        print("survivors, as a list for --list:")
        for mutant in survivors:
            print("  " + mutant.listed())
    return 0


if __name__ == "__main__":
    sys.exit(main())
