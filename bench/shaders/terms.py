#!/usr/bin/env python3
"""What each term of the dear scenes costs: `demo-capture --bench` on data/ as it is and on copies
with one term cut (replaced by a constant or left out), ROUNDS times in alternating order, so that a
change in the machine's load falls on all of them. Prints a table: per scene and term the median ms
with and without it and its share of the scene's own time (the scene's ms over the null pass's).

A cut is an exact text of a shader and what replaces it; when a shader no longer holds the text the
script stops and names the cut, so the table is never read off a cut that did not happen.

  bench/shaders/terms.py [--rounds N] [--frames N] [--only WORD] [--capture PATH] [--data DIR]
"""
import argparse
import os
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
    parser.add_argument("--capture", default=os.path.join(root, "build", "demo-capture"))
    parser.add_argument("--data", default=os.path.join(root, "data"))
    args = parser.parse_args()
    if not os.access(args.capture, os.X_OK):
        sys.exit(f"no demo-capture at {args.capture} (build the default preset)")
    cuts = [c for c in CUTS if args.only in c[0]]
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
