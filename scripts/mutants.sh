#!/bin/bash
# Plants realistic faults in the code one at a time, rebuilds, runs the suite and reports which faults no
# test caught. Usage: scripts/mutants.sh [BUILD_FOLDER] [MUTANT_ID...]
# A fault whose text no longer stands in the code is reported as "gone" (the code changed since it was
# written): update the table rather than trusting an old score.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${1:-build}
shift || true
ONLY=" $* "
[ -d "$BUILD" ] || { echo "no build folder $BUILD (run make build first)"; exit 2; }
BUILD=$(cd "$BUILD" && pwd)

# id | file | text as it stands | the fault
read -r -d '' MUTANTS <<'TABLE'
gif-version|window/my_gifhandler/my_gif_handler.cpp|"GIF89a", 6|"GIF87a", 6
gif-loop-count|window/my_gifhandler/my_gif_handler.cpp|0x03, 0x01, 0x00, 0x00, 0x00|0x03, 0x01, 0x01, 0x00, 0x00
gif-delay-unit|window/my_gifhandler/my_gif_handler.cpp|WriteWord(stream, delayMilliseconds / 10)|WriteWord(stream, delayMilliseconds / 100)
gif-bits-per-pixel|window/my_gifhandler/my_gif_handler.cpp|(1 << bits) < count|(1 << bits) <= count
gif-word-high-byte|window/my_gifhandler/my_gif_handler.cpp|(value >> 8) & 0xFF|(value >> 7) & 0xFF
gif-global-table-size|window/my_gifhandler/my_gif_handler.cpp|((bpp - 1) << 5)|((bpp - 1) << 4)
gif-trailer|window/my_gifhandler/my_gif_handler.cpp|WriteByte(stream, 0x3B)|WriteByte(stream, 0x3A)
gif-pixel-count|window/my_gifhandler/my_gif_handler.cpp|m_pixelCount -= evenWidth;|m_pixelCount -= width;
gif-more-colours|window/my_gifhandler/my_gif_handler.cpp|if (colour != last && !colours.Insert(colour, 0))|if (false)
compose-centre|window/my_gifhandler/frame_composition.cpp|(width - placed.GetWidth()) / 2|(width - placed.GetWidth()) / 3
compose-fit-rule|window/my_gifhandler/frame_composition.cpp|widthRatio < 1 \|\| heightRatio < 1|widthRatio < 1 && heightRatio < 1
compose-scale|window/my_gifhandler/frame_composition.cpp|std::min(widthRatio, heightRatio)|std::max(widthRatio, heightRatio)
compose-alpha|window/my_gifhandler/frame_composition.cpp|(in[c] * a + 127) / 255|(in[c] * a) / 255
palette-exact-red|window/my_gifhandler/palette_image.cpp|red[i] = static_cast<unsigned char>(colours[i] >> 16);|red[i] = static_cast<unsigned char>(colours[i] >> 8);
palette-channels|window/my_gifhandler/palette_image.cpp|rowOut[x] = {rgb[0], rgb[1], rgb[2], 255};|rowOut[x] = {rgb[2], rgb[1], rgb[0], 255};
export-first-frame|window/my_gifhandler/gif_export.cpp|writer.Write(*frame, written == 0, request.delay, stream)|writer.Write(*frame, written == 1, request.delay, stream)
export-progress|window/my_gifhandler/gif_export.cpp|!progress(written + 1, request.frameCount)|!progress(written, request.frameCount)
export-no-frames|window/my_gifhandler/gif_export.cpp|if (request.frameCount == 0)|if (request.frameCount == 0 && request.delay < 0)
export-extension|window/my_gifhandler/gif_export.cpp|path.EndsWith(".gif")|path.EndsWith("gif")
intake-side-limit|picture/picture_intake.cpp|width <= kMaxSide && height <= kMaxSide|width < kMaxSide && height < kMaxSide
gif-read-interlace|picture/gif_picture.cpp|kStart[] = {0, 4, 2, 1}|kStart[] = {0, 2, 4, 1}
lzw-code-width|window/my_gifhandler/lzw_encoder.cpp|if (next > (1 << codeSize) && codeSize < 12)|if (next >= (1 << codeSize) && codeSize < 12)
optimise-rect-width|window/my_gifhandler/frame_optimiser.cpp|return {left, top, right - left + 1, bottom - top + 1};|return {left, top, right - left, bottom - top + 1};
optimise-transparent-index|window/my_gifhandler/frame_optimiser.cpp|frame.transparentIndex = static_cast<int>(frame.palette.size());|frame.transparentIndex = static_cast<int>(frame.palette.size()) - 1;
optimise-table-bits|window/my_gifhandler/optimised_gif_writer.cpp|Byte(0xF0 \| (bits - 1))|Byte(0xF0 \| bits)
project-write-delay|project/project_file.cpp|wxString::Format("%d", contents.delay)|wxString::Format("%d", contents.width)
project-write-name|project/project_file.cpp|AppendText(name, FileNamePart(contents.gifPath));|AppendText(name, contents.gifPath);
project-read-swap|project/project_reader.cpp|TakeNumber("width", m_values.width, 1, contents.width, result.reason)|TakeNumber("width", m_values.height, 1, contents.width, result.reason)
project-read-root|project/project_reader.cpp|return index == 0 ? expect("project", Element::Project) : Element::Ignored;|return index == 0 ? Element::Project : Element::Ignored;
project-read-empty|project/project_reader.cpp|result.listsNoImage = !m_values.imagesListed;|result.listsNoImage = false;
save-no-rename|app/replacing_file.cpp|if (rename(m_temporary.c_str(), m_realTarget.c_str()) != 0) {|if (false) {
save-read-only|app/replacing_file.cpp|if ((status.st_mode & (S_IWUSR \| S_IWGRP \| S_IWOTH)) == 0 \|\| access(m_realTarget.c_str(), W_OK) != 0) {|if (false) {
save-mode|app/replacing_file.cpp|fchmod(fd, m_mode) != 0|fchmod(fd, 0600) != 0
paths-last-slash|app/paths.cpp|const int slash = path.Find('/', true);|const int slash = path.Find('/', false);
paths-parse-sign|app/paths.cpp|negative = *it == '-';|negative = *it == '+';
size-best-rule|window/output_size.cpp|best.x < size.x \|\| best.y < size.y|best.x < size.x && best.y < size.y
size-proportion|window/output_size.cpp|height = product / baseWidth;|height = product / baseHeight;
strip-per-row|window/thumbnailctrl/thumbnail_ctrl.cpp|clientSize.x / (m_itemWidth + m_spacing)|clientSize.x / m_itemWidth
strip-hit-column|window/thumbnailctrl/thumbnail_ctrl.cpp|const int col = pt.x / (m_itemWidth + m_spacing);|const int col = (pt.x + m_spacing) / (m_itemWidth + m_spacing);
strip-item-height|window/thumbnailctrl/thumbnail_ctrl.cpp|m_itemHeight = m_thumbnailHeight + 2 * m_textHeight + 4 * m_margin;|m_itemHeight = m_thumbnailHeight + 2 * m_textHeight + 3 * m_margin;
select-shift-range|window/thumbnailctrl/thumbnail_ctrl.cpp|const bool ranged = anchor != -1 && anchor < GetCount() && anchor != n;|const bool ranged = anchor != -1 && anchor < GetCount() - 1 && anchor != n;
select-ctrl-toggle|window/thumbnailctrl/thumbnail_ctrl.cpp|Select(n, !wasSelected);|Select(n, true);
close-snapshot-width|window/work_model.h|WorkSettings{m_savedDelay, m_savedWidth, m_savedHeight}|WorkSettings{m_savedDelay, current.settings.width, m_savedHeight}
close-failed-save|window/my_frame_closing.cpp|if (SaveProject())|if (SaveProject() \|\| true)
cli-delay-range|cli/cli_options.cpp|isDelay ? 0 : 1, number|isDelay ? 1 : 1, number
cli-largest|cli/cli_options.cpp|value <= kLargestValue|value < kLargestValue
cli-both-sources|cli/cli_options.cpp|if (!options.project.empty() && !options.images.empty()) {|if (false) {
player-fast-delays|window/played_delay.cpp|delay <= kFastestShown ? kStretched : delay|delay < kFastestShown ? kStretched : delay
autosave-close-keeps|window/autosaver.cpp|if (!m_keep)|if (m_keep)
loop-count-forever|window/loop_count_dialog.cpp|const int value = m_playTimes->GetValue() ? m_passCount->GetValue() : 0;|const int value = m_passCount->GetValue();
language-menu-state|app/language_switch.cpp|m_thumbnailCtrl->GetCount() > 0);|m_thumbnailCtrl->GetCount() > 1);
language-check-mark|window/my_frame.cpp|current->Check(true);|current->Check(false);
icon-theme-first|window/application_icon.cpp|if (!themed.IsEmpty())|if (themed.IsEmpty())
crash-report-once|app/crash_report.cpp|wxRemoveFile(file);|(void)file;
options-skip-comments|app/domain_option.cpp|entry = FirstElement(entry->GetNext());|entry = entry->GetNext();
options-seventh-entry|app/domain_option.cpp|for (size_t i = 0; i < WXSIZEOF(fields); ++i) {|for (size_t i = 0; i < WXSIZEOF(fields) - 1; ++i) {
update-last-match|app/update_check.cpp|element; element = element->GetNext()) {|element && newest.empty(); element = element->GetNext()) {
language-read-length|app/paths.cpp|const size_t count = file.Read(bytes, 8);|const size_t count = file.Read(bytes, 4);
autosave-newest-first|window/autosave_file.cpp|return a.first > b.first;|return a.first < b.first;
TABLE

run_suite() {
    # A fault that does not build counts as caught.
    cmake --build "$BUILD" -j"$(nproc)" --target quintrel-tavelle quintrel-gif headless_tests gui_tests crashing_app \
        >/dev/null 2>&1 || return 1
    # The installed tree and the Debian package are left out: no fault here touches packaging, and they
    # take most of the headless suite's time.
    (cd "$BUILD" && ctest -L headless -E '^Desktop[.]' -j"$(nproc)" --stop-on-failure >/dev/null 2>&1) || return 1
    (cd "$BUILD" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest -L gui --stop-on-failure >/dev/null 2>&1) || return 1
    return 0
}

# One record a line: id, file, text, fault, separated by tabs (a bar inside a text is written \|).
records=$(printf '%s\n' "$MUTANTS" | python3 -c '
import re, sys
for line in sys.stdin:
    line = line.rstrip("\n")
    if line:
        print("\t".join(part.replace("\\|", "|") for part in re.split(r"(?<!\\)\|", line)))')

# A suite that fails as the code stands would "catch" every fault.
run_suite || { echo "the suite fails without any fault planted: fix it first"; exit 2; }

caught=0; survived=0; gone=0; survivors=""
while IFS=$'\t' read -r id file from to; do
    [ -n "$id" ] || continue
    [ "$ONLY" = "  " ] || [[ "$ONLY" == *" $id "* ]] || continue
    backup=$(mktemp)
    cp "$file" "$backup"
    if ! python3 -c '
import sys
path, old, new = sys.argv[1:]
text = open(path, encoding="utf-8").read()
if text.count(old) != 1:
    sys.exit(1)
open(path, "w", encoding="utf-8").write(text.replace(old, new))' "$file" "$from" "$to"; then
        echo "gone      $id"
        gone=$((gone + 1)); rm -f "$backup"; continue
    fi
    if run_suite; then
        echo "SURVIVED  $id"
        survived=$((survived + 1)); survivors="$survivors $id"
    else
        echo "caught    $id"
        caught=$((caught + 1))
    fi
    cp "$backup" "$file"; rm -f "$backup"
done <<< "$records"

cmake --build "$BUILD" -j"$(nproc)" >/dev/null 2>&1
echo "caught $caught of $((caught + survived)) faults ($gone gone)${survivors:+; survivors:$survivors}"
