#!/usr/bin/env python3
"""What each term of the dear scenes costs: `demo-capture --bench` on data/ as it is and on copies
with one term cut (replaced by a constant or left out), ROUNDS times in alternating order, so that a
change in the machine's load falls on all of them. Prints a table: per scene and term the median ms
with and without it and its share of the scene's own time (the scene's ms over the null pass's).

A cut is an exact text of a shader and what replaces it; when a shader no longer holds the text the
script stops and names the cut, so the table is never read off a cut that did not happen.

With --instructions the figure is instead the count of instructions that llvmpipe's generated code
(the shaders, the rasteriser's own) runs for one frame in the middle of each scene, under
callgrind with llvmpipe drawing on the calling thread: the same count on every run, whatever else
the machine does, but a count and not a time (a texture read's memory traffic is not in it). Each
shader's run holds a black shader in its place too, the floor its share is taken over.

  bench/shaders/terms.py [--rounds N] [--frames N] [--only WORD] [--capture PATH] [--data DIR]
  bench/shaders/terms.py --instructions [--scenes "3 4"] [--only WORD] [--capture PATH] [--data DIR]
"""
import argparse
import concurrent.futures
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

# (shader file, term, [(text, replacement), ...])
CUTS = [
    ("gras12.2.shader", "every row after the first",
     [("const int Layers = 26;", "const int Layers = 1;")]),
    ("gras12.2.shader", "rows 14 to 26", [("const int Layers = 26;", "const int Layers = 13;")]),
    ("gras12.2.shader", "the wind texture read in every row",
     [("vec4 n = texture2D(noiseMap, q * vec2(0.06, 0.04) + vec2(-0.045 * t, 0.013 * t));",
       "vec4 n = vec4(q.x * 0.01, 0.5, 0.0, 0.0);")]),
    ("gras12.2.shader", "the lean field's sine in every row",
     [("0.08 * sin(X * 17.0 + fi * 1.7)", "0.08 * fract(X * 17.0 + fi * 1.7)")]),
    ("gras12.2.shader", "a blade's shading (wisp light, fold, fog)",
     [("col += trans * cover * c;", "col += trans * cover * tipCol;")]),
    ("gras12.2.shader", "the sky's colour (gradient, amber band, clouds, stars)",
     [("? skyColour(p, horizon, t, blue, cloudCoarse.z, cloudFine.w)", "? fogCol")]),
    ("gras12.2.shader", "the clouds' two texture reads",
     [("if (slot >= skyward) break;\n        vec2 cq", "break;\n        vec2 cq")]),
    ("gras12.2.shader", "the wisp's sparks",
     [("bool nearWake = all(", "bool nearWake = false && all(")]),
    ("gras12.2.shader", "the fireflies", [("col += vec3(1.0, 0.8, 0.4) * fly * 0.8;", "")]),
    ("gras10.shader", "every row after the first", [("const int Rows = 16;", "const int Rows = 1;")]),
    ("gras10.shader", "a blade's shading (wisp light, gust sheen, fog)",
     [("col += trans * cover * c;", "col += trans * cover * tipCol;")]),
    ("gras10.shader", "the gusts' or clouds' read on every pixel",
     [("texture2D(noiseMap, below > 0.0 ? gustCoord(groundXZ, t) : cloudCoord(p, horizon, t))",
       "vec4(0.5)")]),
    ("gras10.shader", "the fine clouds', hills' and trees' reads",
     [("if (slot >= reads) break;\n        vec2 q", "break;\n        vec2 q")]),
    ("gras10.shader", "the wisp's sparks",
     [("bool nearWake = all(", "bool nearWake = false && all(")]),
    ("gras20.shader", "every row after the first",
     [("const int Layers = 24;", "const int Layers = 1;")]),
    ("gras20.shader", "the wind texture read in every row",
     [("vec4 n = texture2D(noiseMap, q * vec2(0.06, 0.04) + vec2(-0.05 * t, 0.013 * t));",
       "vec4 n = vec4(q.x * 0.01, 0.5, 0.0, 0.0);")]),
    ("gras20.shader", "a blade's shading (backlit edges, rim, fog)",
     [("col += trans * cover * c;", "col += trans * cover * rimCol;")]),
    ("gras20.shader", "the sky's reads (rays, hills, clouds)",
     [("if (slot >= reads) break;\n        // Slots", "break;\n        // Slots")]),
    ("ball8.shader", "the shading of a hit (reflection, refraction, veins, lights)",
     [("if (hitMask > 0.5) {", "if (false) {")]),
    ("ball8.shader", "the six shapes (a sphere in their place)",
     [("    return wBlob * db +", "    return len - 0.95;\n    return wBlob * db +")]),
    ("ball8.shader", "march steps 9 to 56", [("const int Steps = 56;", "const int Steps = 8;")]),
    ("ball8.shader", "the texture reads but the sky's (fan, swirl, ring, the hit's four)",
     [("float reads = 1.0 + swirlReads", "float reads = 0.0 * swirlReads")]),
    ("ball8.shader", "the sky (nebula read, stars)", [("vec3 col = background(rd, t);",
                                                       "vec3 col = vec3(0.0);")]),
    ("ball8.shader", "the gathering swirl", [("if (gather > 0.001) {", "if (false) {")]),
    ("ball8.shader", "the embers", [("k < 8; k++) {", "k < 0; k++) {")]),
]


def bench(capture, frames, data):
    """{scene: (program, ms)} from one `demo-capture --bench` run, the null pass as 'null'."""
    out = subprocess.run([capture, "--bench", "--bench-frames", str(frames), "--data", data],
                         capture_output=True, text=True, check=True).stdout
    rows = {}
    for line in out.splitlines():
        cells = [c.strip() for c in line.split("|")]
        if len(cells) > 5 and (cells[1].isdigit() or cells[1] == "null"):
            rows[cells[1]] = (cells[3], float(cells[4]))
    return rows


BLACK = """#version 120
void main(void) { gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0); }
"""


def scene_middles(capture):
    """{scene: loop time in seconds in the middle of its span}."""
    out = subprocess.run([capture, "--parameters"], capture_output=True,
                         text=True, check=True).stdout
    first, last = {}, {}
    for row in out.splitlines()[1:]:
        now_ms, _, scene = row.split(",")[:3]
        first.setdefault(scene, int(now_ms))
        last[scene] = int(now_ms)
    return {s: (first[s] + last[s]) / 2000 for s in first}


def instructions(capture, data, at, scratch):
    """Instructions of llvmpipe's generated code for the frame at loop time `at` (callgrind)."""
    fd, out = tempfile.mkstemp(dir=scratch)
    os.close(fd)
    subprocess.run(["valgrind", "--tool=callgrind", "--smc-check=all", f"--callgrind-out-file={out}",
                    capture, "--at", f"{at:.3f}", "--size", "1024x512", "--data", data,
                    "--out", out + ".png"], env=dict(os.environ, LP_NUM_THREADS="0"),
                   capture_output=True, check=True)
    listing = subprocess.run(["callgrind_annotate", "--threshold=100", out], capture_output=True,
                             text=True, check=True).stdout
    # Generated code has no object file: callgrind names it ??? in [???].
    return sum(int(m.group(1).replace(",", "")) for m in
               re.finditer(r"^\s*([0-9,]+) .*\?\?\?:0x[0-9a-f]+ \[\?\?\?\]$", listing, re.M))


def count_instructions(args, cuts):
    """The --instructions table: per cut, the frame's count with and without the term."""
    middles = scene_middles(args.capture)
    programs = {s: p for s, (p, _) in bench(args.capture, 1, args.data).items()}
    with tempfile.TemporaryDirectory() as scratch:
        jobs = {}
        with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
            shaders = sorted({shader for shader, _, _ in cuts})
            for i, (shader, term, edits) in enumerate(cuts + [(s, "black", None) for s in shaders]):
                folder = cut_data(args.data, scratch, i, shader, edits or [], term)
                if edits is None:
                    open(os.path.join(folder, shader), "w").write(BLACK)
                for scene, program in programs.items():
                    if scene in args.scenes.split() and program.startswith(shader):
                        at = middles[scene]
                        jobs[(i, scene)] = pool.submit(instructions, args.capture, folder, at, scratch)
                        if ("as it is", scene) not in jobs:
                            jobs[("as it is", scene)] = pool.submit(
                                instructions, args.capture, args.data, at, scratch)
            counts = {key: job.result() for key, job in jobs.items()}
    black = {scene: counts[(len(cuts) + shaders.index(programs[scene].split()[0]), scene)]
             for (_, scene) in jobs}
    print("Instructions of llvmpipe's generated code for one frame at 1024 x 512 (callgrind), in"
          " millions")
    print()
    print("| scene (loop time s) | program | term cut | whole | without it | share over a black shader |")
    print("|------:|---------|----------|---:|---:|---:|")
    for i, (shader, term, _) in enumerate(cuts):
        for scene in sorted(s for (k, s) in jobs if k == i):
            whole, without = counts[("as it is", scene)], counts[(i, scene)]
            share = (whole - without) / (whole - black[scene]) * 100
            print(f"| {scene} ({middles[scene]:.2f}) | {shader} | {term} | {whole / 1e6:.1f} |"
                  f" {without / 1e6:.1f} | {share:.0f} % |")
    for scene, floor in sorted(black.items()):
        print(f"| {scene} ({middles[scene]:.2f}) | {programs[scene]} | the whole shader (black) |"
              f" {counts[('as it is', scene)] / 1e6:.1f} | {floor / 1e6:.1f} | 100 % |")


def cut_data(data, scratch, index, shader, edits, term):
    """A copy of data/ with one term cut: the shaders copied, the rest linked."""
    folder = os.path.join(scratch, str(index))
    os.mkdir(folder)
    for name in os.listdir(data):
        source = os.path.realpath(os.path.join(data, name))
        if name.endswith(".shader"):
            shutil.copy(source, folder)
        else:
            os.symlink(source, os.path.join(folder, name))
    path = os.path.join(folder, shader)
    text = open(path).read()
    for old, new in edits:
        if text.count(old) != 1:
            sys.exit(f"cut '{term}': {shader} holds its text {text.count(old)} times, not once")
        text = text.replace(old, new)
    open(path, "w").write(text)
    return folder


def main():
    here = os.path.dirname(os.path.realpath(__file__))
    root = os.path.dirname(os.path.dirname(here))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--frames", type=int, default=5)
    parser.add_argument("--only", default="", help="only the cuts of shaders whose name has WORD")
    parser.add_argument("--scenes", default="3 4 5 6 7 8", help='the scenes to count, "3 4 6"')
    parser.add_argument("--instructions", action="store_true",
                        help="count instructions under callgrind instead of timing")
    parser.add_argument("--capture", default=os.path.join(root, "build", "demo-capture"))
    parser.add_argument("--data", default=os.path.join(root, "data"))
    args = parser.parse_args()
    if not os.access(args.capture, os.X_OK):
        sys.exit(f"no demo-capture at {args.capture} (build the default preset)")
    cuts = [c for c in CUTS if args.only in c[0]]
    if args.instructions:
        return count_instructions(args, cuts)
    with tempfile.TemporaryDirectory() as scratch:
        runs = [("as it is", args.data)] + [
            (i, cut_data(args.data, scratch, i, shader, edits, term))
            for i, (shader, term, edits) in enumerate(cuts)]
        ms = {key: [] for key, _ in runs}
        for r in range(args.rounds):
            load = open("/proc/loadavg").read().split()[0]
            for key, folder in runs if r % 2 == 0 else reversed(runs):
                ms[key].append(bench(args.capture, args.frames, folder))
            print(f"round {r + 1} of {args.rounds}, load average {load} at its start",
                  file=sys.stderr, flush=True)
    base = ms["as it is"]

    def median(rows, scene):
        return statistics.median(row[scene][1] for row in rows)

    null = median(base, "null")
    print(f"`demo-capture --bench --bench-frames {args.frames}`, {args.rounds} rounds, medians;"
          f" null pass {null:.1f} ms")
    print()
    print("| scene | program | term cut | ms | ms without it | share of the scene over the null pass |")
    print("|------:|---------|----------|---:|---:|---:|")
    for i, (shader, term, _) in enumerate(cuts):
        for scene, (program, _) in base[0].items():
            if not program.startswith(shader):
                continue
            whole, without = median(base, scene), median(ms[i], scene)
            share = (whole - without) / (whole - null) * 100
            print(f"| {scene} | {shader} | {term} | {whole:.1f} | {without:.1f} | {share:.0f} % |")


if __name__ == "__main__":
    main()
