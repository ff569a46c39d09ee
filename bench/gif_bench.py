"""Exports frame sets with quintrel-gif, ImageMagick and ffmpeg and compares time, memory, size and quality.

    gif_bench.py QUINTREL_GIF RESULTS_FOLDER SET_FOLDER...

Each SET_FOLDER holds 000.png, 001.png, ... all of one size, which is also the GIF's size, so the source
frames are the composed frames. Every tool runs RUNS times; the table shows the median wall time and
processor time, the largest peak resident memory seen, the GIF's size, and the PSNR of every decoded frame against its source:
the mean and the worst frame, and the mean after a Gaussian blur of radius 1 on both pictures, which
forgives dithering roughly as the eye does.
"""

import glob
import math
import os
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageChops, ImageFilter, ImageStat

RUNS = 3
DELAY = 10  # hundredths of a second, the program's default
PSNR_CAP = 100.0  # identical frames
BLUR_RADIUS = 1.0


class Tool:
    def __init__(self, name, command):
        self.name = name
        self.command = command  # called with (frames, set folder, output path)


def tools(quintrel_gif):
    ffmpeg_filter = "[0:v]split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1"
    ours = [Tool("quintrel-gif", lambda frames, folder, out: [quintrel_gif, "-d", str(DELAY), "-o", out] + frames)]
    if not os.access(quintrel_gif, os.X_OK):
        print("quintrel-gif is not built (%s): the peers run alone\n" % quintrel_gif)
        ours = []
    return ours + [
        Tool("ImageMagick convert",
             lambda frames, folder, out: ["/usr/bin/convert", "-delay", str(DELAY), "-loop", "0"] + frames + [out]),
        Tool("ffmpeg per-frame palette",
             lambda frames, folder, out: ["ffmpeg", "-v", "error", "-y", "-framerate", str(100 // DELAY),
                                          "-start_number", "0", "-i", os.path.join(folder, "%03d.png"),
                                          "-filter_complex", ffmpeg_filter, "-loop", "0", out]),
    ]


def run_once(command):
    """Wall seconds, processor seconds and peak resident kilobytes of one run, or raises with the tool's
    complaint. Processor time (user and system, all threads) tells a busy machine from a slow tool."""
    with tempfile.NamedTemporaryFile(mode="r") as rss:
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", rss.name] + command,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        wall = time.perf_counter() - start
        if done.returncode != 0:
            raise RuntimeError("exit status %d: %s" % (done.returncode, done.stderr.decode(errors="replace")[-500:]))
        peak, user, system = rss.read().strip().splitlines()[-1].split()
        return wall, float(user) + float(system), int(peak)


def psnr(a, b):
    squares = sum(ImageStat.Stat(ImageChops.difference(a, b)).sum2)
    if squares == 0:
        return PSNR_CAP
    mse = squares / (a.width * a.height * 3)
    return min(PSNR_CAP, 10 * math.log10(255 * 255 / mse))


def decoded_frames(path):
    """Every frame of the GIF as the viewer sees it (earlier frames under transparent pixels)."""
    frames = []
    with Image.open(path) as gif:
        for index in range(gif.n_frames):
            gif.seek(index)
            frames.append(gif.convert("RGB"))
    return frames


class Reference:
    def __init__(self, frames):
        self.plain = [Image.open(path).convert("RGB") for path in frames]
        self.blurred = [image.filter(ImageFilter.GaussianBlur(BLUR_RADIUS)) for image in self.plain]

    def quality(self, gif_path):
        """(mean, worst, blurred mean) PSNR in dB, or a text saying why the GIF cannot be compared."""
        decoded = decoded_frames(gif_path)
        if len(decoded) != len(self.plain):
            return "%d frames decoded, %d expected" % (len(decoded), len(self.plain))
        if any(d.size != r.size for d, r in zip(decoded, self.plain)):
            return "frame size differs from the source"
        plain = [psnr(d, r) for d, r in zip(decoded, self.plain)]
        blurred = [psnr(d.filter(ImageFilter.GaussianBlur(BLUR_RADIUS)), r) for d, r in zip(decoded, self.blurred)]
        return statistics.mean(plain), min(plain), statistics.mean(blurred)


def decoder_agreement(gif_path, frame_count):
    """What three independent decoders say about frame count, delay and looping."""
    notes = []
    with Image.open(gif_path) as gif:
        durations = set()
        for index in range(gif.n_frames):
            gif.seek(index)
            durations.add(gif.info.get("duration"))
        notes.append("Pillow %d frames, delays %s ms, loop %s" % (gif.n_frames, sorted(durations), gif.info.get("loop")))
    identify = subprocess.run(["/usr/bin/identify", "-format", "%T\n", gif_path], capture_output=True, text=True)
    delays = identify.stdout.split()
    verbose = subprocess.run(["/usr/bin/identify", "-verbose", gif_path + "[0]"], capture_output=True, text=True)
    iterations = [line.split(":")[1].strip() for line in verbose.stdout.splitlines() if "Iterations:" in line]
    notes.append("ImageMagick %d frames, delays %s, iterations %s" % (len(delays), sorted(set(delays)), iterations))
    probe = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-show_entries", "stream=nb_read_frames",
                            "-of", "csv=p=0", gif_path], capture_output=True, text=True)
    notes.append("ffmpeg %s frames" % probe.stdout.strip())
    agreed = (gif.n_frames == frame_count and durations == {DELAY * 10} and gif.info.get("loop") == 0
              and len(delays) == frame_count and set(delays) == {str(DELAY)} and iterations == ["0"]
              and probe.stdout.strip() == str(frame_count))
    return ("agree" if agreed else "DISAGREE") + ": " + "; ".join(notes)


def measure(tool, frames, folder, out):
    try:
        runs = [run_once(tool.command(frames, folder, out)) for _ in range(RUNS)]
    except RuntimeError as error:
        return {"error": str(error)}
    return {"wall": statistics.median(wall for wall, _, _ in runs), "cpu": statistics.median(cpu for _, cpu, _ in runs),
            "rss": max(rss for _, _, rss in runs),
            "bytes": os.path.getsize(out)}


def print_table(title, rows):
    print(title)
    print("  %-26s %7s %7s %9s %11s %10s %7s %9s" % ("tool", "wall s", "cpu s", "peak MiB", "bytes", "PSNR mean",
                                                     "worst", "blurred"))
    for name, row in rows:
        if "error" in row:
            print("  %-26s failed: %s" % (name, row["error"]))
            continue
        quality = row["quality"]
        scores = ("%10.2f %7.2f %9.2f" % quality) if isinstance(quality, tuple) else "  " + quality
        print("  %-26s %7.2f %7.2f %9.1f %11d %s" % (name, row["wall"], row["cpu"], row["rss"] / 1024, row["bytes"],
                                                    scores))


def check_targets(rows):
    """The exporter's targets against the peers of the same run; one line each."""
    results = dict(rows)
    ours, magick, ffmpeg = (results.get(name) for name in ("quintrel-gif", "ImageMagick convert",
                                                            "ffmpeg per-frame palette"))
    complete = all(row and "error" not in row and isinstance(row["quality"], tuple) for row in (ours, magick, ffmpeg))
    if not complete:
        return ["  targets: not checked (a tool failed or is missing)"]
    best_plain = max(magick["quality"][0], ffmpeg["quality"][0])
    best_blurred = max(magick["quality"][2], ffmpeg["quality"][2])
    checks = [
        ("faster than ffmpeg", ours["wall"] < ffmpeg["wall"], "%.2f s vs %.2f s" % (ours["wall"], ffmpeg["wall"])),
        ("at most half of ImageMagick's time", ours["wall"] <= magick["wall"] / 2,
         "%.2f s vs %.2f s" % (ours["wall"], magick["wall"])),
        ("mean PSNR at least the best peer's", ours["quality"][0] >= best_plain,
         "%.2f vs %.2f dB" % (ours["quality"][0], best_plain)),
        ("blurred PSNR within 2 dB of the best peer's", ours["quality"][2] >= best_blurred - 2,
         "%.2f vs %.2f dB" % (ours["quality"][2], best_blurred)),
        ("peak memory at most ffmpeg's", ours["rss"] <= ffmpeg["rss"],
         "%.1f vs %.1f MiB" % (ours["rss"] / 1024, ffmpeg["rss"] / 1024)),
    ]
    return ["  %-4s %s (%s)" % ("met" if ok else "MISS", what, detail) for what, ok, detail in checks]


def bench_set(folder, all_tools, results):
    frames = sorted(glob.glob(os.path.join(folder, "*.png")))
    if not frames:
        sys.exit("no frames in " + folder)
    name = os.path.basename(folder.rstrip("/"))
    with Image.open(frames[0]) as first:
        size = first.size
    reference = Reference(frames)
    os.makedirs(os.path.join(results, name), exist_ok=True)
    rows, notes = [], []
    for tool in all_tools:
        out = os.path.join(results, name, tool.name.split()[0] + ".gif")
        row = measure(tool, frames, folder, out)
        if "error" not in row:
            row["quality"] = reference.quality(out)
            if tool.name == "quintrel-gif":
                notes.append("  decoders " + decoder_agreement(out, len(frames)))
        rows.append((tool.name, row))
    print_table("%s: %d frames of %dx%d, median of %d runs" % (name, len(frames), size[0], size[1], RUNS), rows)
    for line in notes + check_targets(rows):
        print(line)
    print(flush=True)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    all_tools = tools(argv[1])
    for folder in argv[3:]:
        bench_set(folder, all_tools, argv[2])


if __name__ == "__main__":
    main(sys.argv)
