#!/usr/bin/env python3
"""Lists the tests that GoogleTest skipped, with their reasons, from the XML results of one suite.

CTest counts a skipped test as passed and shows it nowhere; this makes every skip visible.
Usage: list_skipped_tests.py <suite name> <results folder>. Prints one line per skipped test and
exits with 0; exits with 1 when the folder holds no results at all (the suite did not report).
"""
import pathlib
import sys
import xml.etree.ElementTree as ElementTree


def main() -> int:
    suite, folder = sys.argv[1], pathlib.Path(sys.argv[2])
    results = sorted(folder.glob("*.xml"))
    if not results:
        print(f"=== {suite}: no test results in {folder}")
        return 1
    skipped = []
    for result in results:
        program = result.stem
        for case in ElementTree.parse(result).iter("testcase"):
            if case.get("result") != "skipped":
                continue
            element = case.find("skipped")
            message = element.get("message", "") if element is not None else ""
            # The message starts with "file:line" on a line of its own.
            reason = " ".join(line for line in message.splitlines()[1:] if line.strip())
            name = f"{case.get('classname')}.{case.get('name')}"
            skipped.append(f"  {program}: {name}: {reason or message}")
    print(f"=== {suite}: {len(skipped)} skipped test(s)" + (":" if skipped else ""))
    for line in skipped:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
