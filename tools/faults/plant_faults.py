#!/usr/bin/env python3
"""Plants each fault of a list in turn, rebuilds and runs the tests, and says
which faults the suite catches. Every file is restored after each fault.

    tools/faults/plant_faults.py [--build build] [--list tools/faults/faults.txt] [--only N,...]

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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--list", default=str(ROOT / "tools/faults/faults.txt"))
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    faults = read_faults(pathlib.Path(args.list))
    chosen = {int(n) for n in args.only.split(",") if n}
    caught, survivors = 0, []
    for number, fault in enumerate(faults, 1):
        if chosen and number not in chosen:
            continue
        path = ROOT / fault["file"]
        original = path.read_text(encoding="utf-8")
        if original.count(fault["old"]) != 1:
            print(f"{number:3} not planted: the text stands {original.count(fault['old'])} times in {fault['file']}")
            survivors.append((number, fault, "not planted"))
            continue
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
