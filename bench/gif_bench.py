"""Exports frame sets with quintrel-gif, ImageMagick, ffmpeg and gifski and compares time, memory, size and quality.

    gif_bench.py QUINTREL_GIF RESULTS_FOLDER SET_FOLDER...

gifski is a peer only when the environment names its program in GIFSKI (bench/run.sh installs it from npm
into bench/out when npm is there); without it the level table compares with level 0 alone.

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


LEVELS = (0, 1, 2)
GIFSKI = os.environ.get("GIFSKI", "")


def level_name(level):
    return "quintrel-gif" if level == 0 else "quintrel-gif -O %d" % level


def frame_size(frames):
    with Image.open(frames[0]) as first:
        return first.size


def tools(quintrel_gif):
    ffmpeg_filter = "[0:v]split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1"
    ours = [Tool(level_name(level),
                 lambda frames, folder, out, level=level: [quintrel_gif, "-d", str(DELAY), "-O", str(level), "-o", out]
                 + frames) for level in LEVELS]
    if not os.access(quintrel_gif, os.X_OK):
        print("quintrel-gif is not built (%s): the peers run alone\n" % quintrel_gif)
        ours = []
    peers = []
    if GIFSKI and os.access(GIFSKI, os.X_OK):
        # Its default quality, at the frames' own size (it would otherwise shrink large frames).
        peers.append(Tool("gifski default",
                          lambda frames, folder, out: [GIFSKI, "--quiet", "--fps", str(100 // DELAY)]
                          + ["--width", str(frame_size(frames)[0]), "--height", str(frame_size(frames)[1])]
                          + ["-o", out] + frames))
    return ours + peers + [
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


def ssim(gif_path, folder):
    """ffmpeg's SSIM (All) of the decoded GIF against the source frames, or None."""
    done = subprocess.run(["ffmpeg", "-v", "info", "-nostats", "-i", gif_path, "-framerate", str(100 // DELAY),
                           "-start_number", "0", "-i", os.path.join(folder, "%03d.png"), "-lavfi",
                           "[0:v]format=yuv444p[a];[1:v]format=yuv444p[b];[a][b]ssim", "-f", "null", "-"],
                          capture_output=True, text=True)
    for line in done.stderr.splitlines():
        if "SSIM" in line and "All:" in line:
            return float(line.split("All:")[1].split()[0])
    return None


def decoders_agree_on_pixels(gif_path, frame_count):
    """Whether ffmpeg composes every frame to the same pixels as Pillow."""
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["ffmpeg", "-v", "error", "-i", gif_path, "-vsync", "0", "-start_number", "0",
                        os.path.join(folder, "%03d.png")], check=True)
        decoded = sorted(glob.glob(os.path.join(folder, "*.png")))
        if len(decoded) != frame_count:
            return False
        for ours, theirs in zip(decoded_frames(gif_path), decoded):
            with Image.open(theirs) as other:
                if ImageChops.difference(ours, other.convert("RGB")).getbbox() is not None:
                    return False
    return True


def estimate(quintrel_gif, level, frames):
    """The program's size estimate and the seconds it took."""
    start = time.perf_counter()
    done = subprocess.run([quintrel_gif, "-O", str(level), "--estimate"] + frames, capture_output=True, text=True)
    return (int(done.stdout.strip()) if done.returncode == 0 else None), time.perf_counter() - start


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
    pixels = decoders_agree_on_pixels(gif_path, frame_count)
    notes.append("ffmpeg and Pillow pixels %s" % ("identical" if pixels else "DIFFER"))
    agreed = (pixels and gif.n_frames == frame_count and durations == {DELAY * 10} and gif.info.get("loop") == 0
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


def level_table(rows, quintrel_gif, frames, folder, results_folder):
    """One line per level against gifski's default, with the issue's goals checked."""
    results = dict(rows)
    exact, gifski = results.get(level_name(0)), results.get("gifski default")
    ok = lambda row: row and "error" not in row and isinstance(row["quality"], tuple)
    if not ok(exact):
        return ["  levels: not compared (level 0 failed)"]
    lines = ["  %-18s %11s %8s %8s %8s %7s %7s %9s %11s %7s %7s" % (
        "level", "bytes", "x gifski", "PSNR", "blurred", "SSIM", "wall s", "x level 0", "estimate", "error", "est. s")]
    checks = []
    for level in LEVELS:
        row = results.get(level_name(level))
        if not ok(row):
            lines.append("  %-18s failed" % level_name(level))
            continue
        guess, guess_time = estimate(quintrel_gif, level, frames)
        error = (guess - row["bytes"]) / row["bytes"] * 100 if guess else float("nan")
        row["ssim"] = ssim(os.path.join(results_folder, "quintrel-gif-O%d.gif" % level), folder)
        versus = row["bytes"] / gifski["bytes"] if ok(gifski) else float("nan")
        lines.append("  %-18s %11d %8.3f %8.2f %8.2f %7.4f %7.2f %9.2f %11s %6.1f%% %7.2f" % (
            "level %d" % level, row["bytes"], versus, row["quality"][0], row["quality"][2], row["ssim"] or 0,
            row["wall"], row["wall"] / exact["wall"], guess, error, guess_time))
        checks.append(("level %d estimate within 10%%" % level, abs(error) <= 10, "%+.1f%%" % error))
        checks.append(("level %d time at most 1.5 x level 0" % level, row["wall"] <= 1.5 * exact["wall"],
                       "%.2f s vs %.2f s" % (row["wall"], exact["wall"])))
        if not ok(gifski) or level == 0:
            continue
        checks.append(("level %d time at most gifski's" % level, row["wall"] <= gifski["wall"],
                       "%.2f s vs %.2f s" % (row["wall"], gifski["wall"])))
        if level == 1:
            checks.append(("level 1 bytes at most gifski's", row["bytes"] <= gifski["bytes"], "%.3f x" % versus))
            checks.append(("level 1 blurred PSNR at least gifski's", row["quality"][2] >= gifski["quality"][2],
                           "%.2f vs %.2f dB" % (row["quality"][2], gifski["quality"][2])))
        else:
            checks.append(("level 2 bytes at most 0.6 x gifski's", versus <= 0.6, "%.3f x" % versus))
            checks.append(("level 2 blurred PSNR at least gifski's - 0.5 dB",
                           row["quality"][2] >= gifski["quality"][2] - 0.5,
                           "%.2f vs %.2f dB" % (row["quality"][2], gifski["quality"][2])))
    if ok(gifski):
        lines.append("  %-18s %11d %8.3f %8.2f %8.2f %7.4f %7.2f" % (
            "gifski default", gifski["bytes"], 1.0, gifski["quality"][0], gifski["quality"][2],
            ssim(os.path.join(results_folder, "gifski.gif"), folder) or 0, gifski["wall"]))
    return lines + ["  %-4s %s (%s)" % ("met" if met else "MISS", what, detail) for what, met, detail in checks]


def output_name(tool):
    if tool.name.startswith("quintrel-gif"):
        return "quintrel-gif-O%d.gif" % (int(tool.name[-1]) if "-O" in tool.name else 0)
    return tool.name.split()[0] + ".gif"


def bench_set(folder, all_tools, results, quintrel_gif):
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
        out = os.path.join(results, name, output_name(tool))
        row = measure(tool, frames, folder, out)
        if "error" not in row:
            row["quality"] = reference.quality(out)
            if tool.name.startswith("quintrel-gif"):
                notes.append("  decoders, %s: %s" % (tool.name, decoder_agreement(out, len(frames))))
        rows.append((tool.name, row))
    print_table("%s: %d frames of %dx%d, median of %d runs" % (name, len(frames), size[0], size[1], RUNS), rows)
    for line in notes + check_targets(rows) + level_table(rows, quintrel_gif, frames, folder,
                                                          os.path.join(results, name)):
        print(line)
    print(flush=True)


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    all_tools = tools(argv[1])
    for folder in argv[3:]:
        bench_set(folder, all_tools, argv[2], argv[1])


if __name__ == "__main__":
    main(sys.argv)
