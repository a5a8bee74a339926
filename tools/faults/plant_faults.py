#!/usr/bin/env python3
"""Plants each fault of a list in turn, rebuilds and runs the tests, and says
which faults the suite catches. Every file is restored after each fault.

    tools/faults/plant_faults.py [--build build] [--list tools/faults/faults.txt] [--only N,...]
    tools/faults/plant_faults.py --check     (only: can every fault still be planted?)

The list holds one fault a block:

    = what the fault would change for a client
    @ path/of/the/file
    - the exact text as it stands (one line)
    + the text planted in its place

A fault is caught when the build fails or any test fails. The report ends
with the count and, for each survivor, its description.
"""
import argparse
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]


def read_faults(path):
    faults, current = [], None
    for line in path.read_text(encoding="utf-8").splitlines():
        if line.startswith("= "):
            current = {"what": line[2:]}
            faults.append(current)
        elif line.startswith("@ "):
            current["file"] = line[2:]
        elif line.startswith("- "):
            current["old"] = line[2:]
        elif line.startswith("+ "):
            current["new"] = line[2:]
    return faults


def run(command, build):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def times_standing(fault):
    """How often the fault's text stands in its file (0 when there is no file)."""
    path = ROOT / fault["file"]
    return path.read_text(encoding="utf-8").count(fault["old"]) if path.is_file() else 0


def check(faults):
    """Says each fault whose text no longer stands exactly once in its file."""
    unplantable = [(n, f) for n, f in enumerate(faults, 1) if times_standing(f) != 1]
    for number, fault in unplantable:
        print(f"{number:3} stands {times_standing(fault)} times in {fault['file']}: {fault['old']}")
    return 0 if faults and not unplantable else 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--list", default=str(ROOT / "tools/faults/faults.txt"))
    parser.add_argument("--only", default="")
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    faults = read_faults(pathlib.Path(args.list))
    if args.check:
        return check(faults)
    chosen = {int(n) for n in args.only.split(",") if n}
    caught, survivors = 0, []
    for number, fault in enumerate(faults, 1):
        if chosen and number not in chosen:
            continue
        if times_standing(fault) != 1:
            print(f"{number:3} not planted: the text stands {times_standing(fault)} times in {fault['file']}")
            survivors.append((number, fault, "not planted"))
            continue
        path = ROOT / fault["file"]
        original = path.read_text(encoding="utf-8")
        try:
            path.write_text(original.replace(fault["old"], fault["new"]), encoding="utf-8")
            built = run(["cmake", "--build", args.build, "-j8"], args.build) == 0
            # The check of this list fails for every planted fault: it would catch them all.
            tests = ["ctest", "--test-dir", args.build, "-j8", "--timeout", "300", "-E", "^tools\\.FaultListStandsInTheCode$"]
            passed = built and run(tests, args.build) == 0
        finally:
            path.write_text(original, encoding="utf-8")
        verdict = "survived" if passed else ("caught (build)" if not built else "caught")
        print(f"{number:3} {verdict:15} {fault['file']}: {fault['what']}", flush=True)
        if passed:
            survivors.append((number, fault, "survived"))
        else:
            caught += 1
    run(["cmake", "--build", args.build, "-j8"], args.build)
    total = caught + len(survivors)
    print(f"\n{caught} of {total} faults caught")
    for number, fault, why in survivors:
        print(f"  {number}: {why}: {fault['what']}")
    return 0 if not survivors else 1


if __name__ == "__main__":
    sys.exit(main())
