"""PSNR of frame pairs, whole and per 64 x 64 tile.

Reads "scene tuning loop_time old.png new.png" lines on stdin, prints one table row per scene and
tuning (the five frames' PSNR, the worst tile) and exits 1 when a frame is under 38 dB or a tile
under 30 dB. Identical frames read as inf.
"""
import subprocess
import sys

import numpy as np

FRAME_DB, TILE_DB, TILE = 38.0, 30.0, 64


def pixels(path):
    raw = subprocess.run(
        ["ffmpeg", "-nostdin", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24",
         "-"], check=True, capture_output=True).stdout
    return np.frombuffer(raw, np.uint8).reshape(512, 1024, 3).astype(np.float64)


def psnr(mse):
    return np.inf if mse == 0 else 10.0 * np.log10(255.0 ** 2 / mse)


def compare(old, new):
    err = (pixels(old) - pixels(new)) ** 2
    h, w = err.shape[0] // TILE, err.shape[1] // TILE
    tiles = err[: h * TILE, : w * TILE].reshape(h, TILE, w, TILE, 3).mean(axis=(1, 3, 4))
    return psnr(err.mean()), psnr(tiles.max())


rows = {}
for line in sys.stdin:
    fields = line.split()
    if len(fields) != 5:
        sys.exit("psnr.py: expected 'scene tuning time old.png new.png', got: " + line.strip())
    scene, tuning, at, old, new = fields
    rows.setdefault((scene, tuning), []).append((float(at), *compare(old, new)))

ok = True
print("| scene | controllers | PSNR dB of the five frames (loop time s) | worst 64x64 tile dB |")
print("|------:|-------------|------------------------------------------|--------------------:|")
for (scene, tuning), frames in rows.items():
    worst_tile = min(f[2] for f in frames)
    ok = ok and all(f[1] >= FRAME_DB for f in frames) and worst_tile >= TILE_DB
    cells = ", ".join(f"{f[1]:.1f} ({f[0]:.2f})" for f in frames)
    print(f"| {scene} | {tuning} | {cells} | {worst_tile:.1f} |")
print("all frames >= %.0f dB, all tiles >= %.0f dB: %s" % (FRAME_DB, TILE_DB, "yes" if ok else "NO"))
sys.exit(0 if ok else 1)
