#!/usr/bin/env python3
"""Driver of bench/zip-bench: makes the data set, runs each pair side by side
(best of --runs), checks the extracted files and prints the figures."""
import argparse
import filecmp
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time


TIME = "/usr/bin/time"


def run(command, cwd=None):
    """Wall time, processor time (user + system) and peak resident memory (MB)
    of one command. The peak comes
    from GNU time: a child forked from this process would count our memory."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as report:
        start = time.perf_counter()
        done = subprocess.run([TIME, "-f", "%U %S %M", "-o", report.name] + command, cwd=cwd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit(f"{' '.join(command)} failed:\n{done.stderr.decode(errors='replace')}")
        user, system, peak_kb = report.read().split()[-3:]
    return elapsed, float(user) + float(system), int(peak_kb) / 1024.0


def best(command, runs, before=None, cwd=None):
    """Best wall and processor times of `runs` runs (the machine may be shared),
    and the highest peak memory."""
    results = []
    for _ in range(runs):
        if before:
            before()
        results.append(run(command, cwd))
    return min(r[0] for r in results), min(r[1] for r in results), max(r[2] for r in results)


def make_data(folder, megabytes, files, seed=1):
    rng = random.Random(seed)
    syllables = ["ka", "lo", "mi", "ne", "ru", "sa", "to", "vi", "zu", "pe", "do", "an", "er", "is", "on"]
    words = ["".join(rng.choices(syllables, k=rng.randint(1, 4))) for _ in range(3000)]
    corpus_words = rng.choices(words, k=1_600_000)
    lines, line = [], []
    for w in corpus_words:
        line.append(w)
        if len(line) > rng.randint(6, 14):
            lines.append(" ".join(line).capitalize() + ".")
            line = []
    corpus = ("\n".join(lines)).encode()
    average = megabytes * 1024 * 1024 // files
    total = 0
    for i in range(files):
        size = int(average * rng.uniform(0.2, 1.8))
        sub = os.path.join(folder, f"part{i % 20:02d}")
        os.makedirs(sub, exist_ok=True)
        if i % 2 == 0:
            start = rng.randrange(0, len(corpus) - size)
            data = corpus[start:start + size]
            name = f"text{i:04d}.txt"
        else:
            data = rng.randbytes(size)
            name = f"blob{i:04d}.bin"
        with open(os.path.join(sub, name), "wb") as f:
            f.write(data)
        total += len(data)
    return total


def same_tree(a, b):
    compared = filecmp.dircmp(a, b)
    if compared.left_only or compared.right_only or compared.diff_files or compared.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(a, b, compared.common_files, shallow=False)
    if mismatch or errors:
        return False
    return all(same_tree(os.path.join(a, d), os.path.join(b, d)) for d in compared.common_dirs)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--megabytes", type=int, default=200)
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--keep", action="store_true")
    args = parser.parse_args()
    bench = os.path.join(args.build, "bench", "zip_bench")
    pack = os.path.join(args.build, "tools", "pkgbuild", "marbo-pack")
    work = tempfile.mkdtemp(prefix="zip-bench.")
    try:
        data = os.path.join(work, "data")
        print(f"making {args.files} files, about {args.megabytes} MB ...", flush=True)
        total = make_data(data, args.megabytes, args.files)
        theirs, ours = os.path.join(work, "zip.zip"), os.path.join(work, "ours.zip")
        remove = lambda p: (lambda: os.path.exists(p) and os.remove(p))
        rows = []
        zip_r = best(["zip", "-r", "-6", "-q", theirs, "data"], args.runs, remove(theirs), cwd=work)
        rows.append(("pack: writer vs zip -r -6", best([bench, "pack", data, ours], args.runs, remove(ours)), zip_r))
        sizes = [("zip -6", os.path.getsize(theirs)), ("writer", os.path.getsize(ours))]
        if os.path.exists(pack):
            description = os.path.join(work, "bench.package")
            program = os.path.join(work, "program.exe")
            with open(program, "wb") as f:
                f.write(b"MZ" + bytes(4094))
            with open(description, "w") as f:
                f.write("[General]\nTitle = Bench\nInstallDir = {ProgramFiles}\\Bench\n\n"
                        "[Package]\nUninstaller = no\n\n[Files]\ndata = {InstallDir}\n")
            built = os.path.join(work, "package.exe")
            try:
                pk_r = best([pack, "build", description, "--program", program, "--output", built,
                             "--quiet"], args.runs, remove(built))
                rows.append(("pack: marbo-pack vs zip -r -6", pk_r, zip_r))
                sizes.append(("marbo-pack", os.path.getsize(built)))
            except SystemExit as e:
                print(f"marbo-pack not timed: {e}")
        out_a, out_b = os.path.join(work, "unzip"), os.path.join(work, "extract")
        clear = lambda p: (lambda: shutil.rmtree(p, ignore_errors=True))
        unzip_r = best(["unzip", "-o", "-q", ours, "-d", out_a], args.runs, clear(out_a))
        rows.append(("extract: payload reader vs unzip -o",
                     best([bench, "extract", ours, out_b], args.runs, clear(out_b)), unzip_r))
        out_c = os.path.join(work, "unpack")
        rows.append(("unpack: package reader vs unzip -o",
                     best([bench, "unpack", ours, out_c], args.runs, clear(out_c)), unzip_r))
        if not same_tree(data, out_b) or not same_tree(out_a, out_b) or not same_tree(data, out_c):
            sys.exit("extracted files differ from the originals")

        print(f"\ndata: {args.files} files, {total / 1048576:.1f} MB (half text, half random); best of {args.runs}\n")
        print(f"{'pair (ours / theirs)':38} {'wall s':>13} {'ratio':>6} {'cpu s':>13} {'ratio':>6} {'peak MB':>12}")
        for name, (wa, ca, ma), (wb, cb, mb) in rows:
            print(f"{name:38} {wa:6.2f}/{wb:<6.2f} {wa / wb:6.2f} {ca:6.2f}/{cb:<6.2f} {ca / max(cb, 0.01):6.2f}"
                  f" {ma:5.1f}/{mb:<5.1f}")
        print()
        base = sizes[0][1]
        for name, size in sizes:
            print(f"size {name:12} {size:12d} bytes  {100.0 * (size - base) / base:+6.2f} % against zip -6")
        print("\nextracted trees equal the originals")
    finally:
        if args.keep:
            print(f"kept {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
