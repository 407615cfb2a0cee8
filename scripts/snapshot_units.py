#!/usr/bin/env python3
"""Converts a fixed set of documents with one tolvane binary and records, per
document and per run, the exit status, every output line and the unit written
(the time stamp of the header masked), one file each, so that two snapshots
can be compared with `diff -r`.

Runs can be limited with the environment variable RUNS, for instance
RUNS="plain filter" to compare only the default mode.

Documents: the bundled example, the real documents of ../shared/corpus and
../shared/corpus-multifile (when present), the committed fuzz corpora and the
documents named on the command line. Runs: plain, --compilable, and each of
these with a class filter (the first definition's name, else "Pet").

    scripts/snapshot_units.py BINARY OUTDIR [EXTRA_DOCUMENT ...]
"""
import concurrent.futures
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
SHARED = ROOT.parent / "shared"
RUNS = os.environ.get("RUNS", "plain compilable filter filter-compilable").split()
STAMP = re.compile(rb"Created by Tolvane v(\S+) \d{4}-\d\d-\d\d \d\d:\d\d:\d\d")


def documents(extra):
    docs = [ROOT / "examples" / "petstore.json"]
    for folder in (SHARED / "corpus", SHARED / "corpus-multifile"):
        if folder.is_dir():
            docs += sorted(p for p in folder.rglob("*") if p.suffix in (".json", ".yaml", ".yml"))
    for folder in sorted((ROOT / "fuzz" / "corpus").glob("*")):
        docs += sorted(p for p in folder.iterdir() if p.is_file())
    docs += [pathlib.Path(p).resolve() for p in extra]
    return docs


def first_definition(path):
    try:
        with open(path, "rb") as f:
            doc = json.loads(f.read().decode("utf-8", "replace"))
        names = list(doc.get("definitions", {}).keys())
        if names and re.fullmatch(r"[A-Za-z0-9_.-]{1,64}", names[0]):
            return names[0]
    except Exception:
        pass
    return "Pet"


def run_one(binary, doc, key, outdir):
    filt = first_definition(doc)
    result = []
    with tempfile.TemporaryDirectory(prefix="tolvane-snap-") as work:
        # A multi-file document keeps its neighbours: copy its whole folder.
        src_dir = doc.parent
        if "corpus-multifile" in str(doc):
            shutil.copytree(src_dir, work, dirs_exist_ok=True)
        else:
            shutil.copy(doc, work)
        target = pathlib.Path(work) / doc.name
        for name, args in (("plain", []), ("compilable", ["--compilable"]),
                           ("filter", ["-c:" + filt]), ("filter-compilable", ["-c:" + filt, "--compilable"])):
            if name not in RUNS:
                continue
            try:
                proc = subprocess.run([binary, str(target)] + args, cwd=work, capture_output=True, timeout=120)
                out, code = proc.stdout.replace(work.encode(), b"<dir>"), proc.returncode
            except subprocess.TimeoutExpired:
                out, code = b"<timeout>", -1
            result.append(b"== %s exit %d\n" % (name.encode(), code) + out)
            for p in sorted(pathlib.Path(work).iterdir()):
                if p.suffix == ".pas":
                    data = STAMP.sub(rb"Created by Tolvane v\1 <stamp>", p.read_bytes())
                    result.append(b"-- unit %s\n" % p.name.encode() + data)
                    p.unlink()
    (outdir / key).write_bytes(b"\n".join(result))


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    binary = os.path.abspath(sys.argv[1])
    outdir = pathlib.Path(sys.argv[2])
    outdir.mkdir(parents=True, exist_ok=True)
    docs = documents(sys.argv[3:])
    keys = {}
    for doc in docs:
        key = doc.parent.name + "__" + doc.name
        keys[key] = doc
    with concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
        list(pool.map(lambda kv: run_one(binary, kv[1], kv[0], outdir), keys.items()))
    print(f"{len(keys)} documents, runs {' '.join(RUNS)}, in {outdir}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
