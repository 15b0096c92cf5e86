#!/usr/bin/env python3
"""Plants deliberate faults in the product one at a time and tells which the test suite catches.

Each *.faults file under scripts/faults/ holds blocks separated by a line of '---':

    name: the grid writes rows and columns swapped
    file: map/MapFile.cpp
    tests: core_tests
    find:
    <exact text, once in the file>
    replace:
    <text put in its place>

The fault is applied, the named test programs are built in the build folder (default: build,
as `make build` makes it) and run; a test program that fails catches the fault. The file is put
back whatever happens. Usage: scripts/check-faults.py [--build DIR] [name-substring ...]
"""
import argparse
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def parse(path):
    faults = []
    for block in path.read_text(encoding="utf-8").split("\n---\n"):
        if not block.strip():
            continue
        head, _, rest = block.partition("\nfind:\n")
        find, _, replace = rest.partition("\nreplace:\n")
        fields = {}
        for line in head.strip().splitlines():
            if line.startswith("#"):
                continue
            key, _, value = line.partition(":")
            fields[key.strip()] = value.strip()
        faults.append({
            "name": fields["name"],
            "file": fields["file"],
            "tests": fields["tests"].split(),
            "find": find.rstrip("\n"),
            "replace": replace.rstrip("\n"),
            "source": path.name,
        })
    return faults


def run(fault, build):
    target = ROOT / fault["file"]
    original = target.read_text(encoding="utf-8")
    if original.count(fault["find"]) != 1:
        return "stale (the text to change is not there exactly once)"
    try:
        target.write_text(original.replace(fault["find"], fault["replace"]), encoding="utf-8")
        made = subprocess.run(["cmake", "--build", str(build), "-j2", "--target", *fault["tests"]],
                              capture_output=True, text=True)
        if made.returncode != 0:
            return "caught (does not build)"
        for test in fault["tests"]:
            binary = build / "tests" / test
            try:
                ran = subprocess.run([str(binary), "--gtest_brief=1"], capture_output=True,
                                     text=True, timeout=600, cwd=binary.parent)
            except subprocess.TimeoutExpired:
                return f"caught by {test} (timed out)"
            if ran.returncode != 0:
                # Typed tests end their line with ", where TypeParam = …"; the summary line
                # ("3 tests, listed below:") is not a test.
                failed = [l.split("]", 1)[1].split(", where")[0].strip()
                          for l in ran.stdout.splitlines()
                          if l.startswith("[  FAILED  ]") and "listed below" not in l]
                return f"caught by {test}: {', '.join(failed[:3]) or 'crash'}"
        return "MISSED"
    finally:
        target.write_text(original, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("only", nargs="*")
    args = parser.parse_args()
    build = (ROOT / args.build).resolve()
    faults = [f for p in sorted((ROOT / "scripts" / "faults").glob("*.faults")) for f in parse(p)]
    if args.only:
        faults = [f for f in faults if any(o in f["name"] or o in f["source"] for o in args.only)]
    missed = 0
    for fault in faults:
        verdict = run(fault, build)
        missed += not verdict.startswith("caught")
        print(f"{fault['source']}: {fault['name']}: {verdict}", flush=True)
    # Put the unchanged programs back so the build folder matches the tree again (only those
    # built here: a folder may hold only some of the targets).
    targets = sorted({t for f in faults for t in f["tests"]})
    if targets:
        subprocess.run(["cmake", "--build", str(build), "-j2", "--target", *targets],
                       capture_output=True)
    print(f"{len(faults) - missed} of {len(faults)} faults caught")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
