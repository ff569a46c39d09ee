"""Makes the benchmark's frame sets from one photograph, the same pixels on every run.

    make_frames.py PHOTO OUT_FOLDER

OUT_FOLDER/photo-pan:   60 frames of 640x480, a slow pan and zoom across the photograph
OUT_FOLDER/synthetic:   60 frames of 640x480 of ffmpeg's moving test pattern (testsrc2)
OUT_FOLDER/photo-crops: 10 frames of 1920x1080, unscaled crops walking over the photograph
"""

import os
import subprocess
import sys

from PIL import Image

PAN_FRAMES, PAN_SIZE = 60, (640, 480)
CROP_FRAMES, CROP_SIZE = 10, (1920, 1080)


def save(image, folder, index):
    image.save(os.path.join(folder, "%03d.png" % index))


def pan_and_zoom(photo, folder):
    """Zooms in from 90% to 45% of the photograph's height while the view drifts left to right and down."""
    width, height = photo.size
    aspect = PAN_SIZE[0] / PAN_SIZE[1]
    for i in range(PAN_FRAMES):
        t = i / (PAN_FRAMES - 1)
        box_h = height * (0.9 - 0.45 * t)
        box_w = box_h * aspect
        left = (width - box_w) * (0.1 + 0.8 * t)
        top = (height - box_h) * (0.3 + 0.4 * t)
        # Sub-pixel boxes keep the motion smooth, as a video's pan would be.
        frame = photo.resize(PAN_SIZE, Image.LANCZOS, box=(left, top, left + box_w, top + box_h))
        save(frame, folder, i)


def crops(photo, folder):
    width, height = photo.size
    if width < CROP_SIZE[0] or height < CROP_SIZE[1]:
        sys.exit("the photograph is smaller than %dx%d" % CROP_SIZE)
    for i in range(CROP_FRAMES):
        x = (width - CROP_SIZE[0]) * i // (CROP_FRAMES - 1)
        y = (height - CROP_SIZE[1]) * (i % 4) // 3
        save(photo.crop((x, y, x + CROP_SIZE[0], y + CROP_SIZE[1])), folder, i)


def synthetic(folder):
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=%dx%d:rate=25" % PAN_SIZE,
                    "-frames:v", str(PAN_FRAMES), "-pix_fmt", "rgb24", "-start_number", "0",
                    os.path.join(folder, "%03d.png")], check=True)


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    photo = Image.open(argv[1]).convert("RGB")
    for name, make in (("photo-pan", lambda folder: pan_and_zoom(photo, folder)), ("synthetic", synthetic),
                       ("photo-crops", lambda folder: crops(photo, folder))):
        folder = os.path.join(argv[2], name)
        os.makedirs(folder, exist_ok=True)
        make(folder)


if __name__ == "__main__":
    main(sys.argv)
