#include "tests/support/strip_fixture.h"

// Every cell with a pixel in view is painted, wherever the strip is scrolled to: the paint handler
// looks only at the rows in view.
TEST_F(StripTest, EveryCellInViewIsPaintedAtAnyScrollPosition) {
    AppendPictures(40);
    SetStripClientSize(180, 250);  // two a row, rows cut at the top and the bottom
    for (int unit : {0, 3, 7, 12, 26, 1000}) {
        strip->Scroll(0, unit);
        const wxImage shot = Shot();
        for (int i = 0; i < strip->GetCount(); ++i) {
            wxRect cell;
            strip->GetItemRect(i, cell, true);
            const wxRect seen = cell.Intersect(wxRect(shot.GetSize()));
            if (seen.IsEmpty())
                continue;
            // The first pixel row of the cell in view: bevel or fill, never the strip's background.
            const wxPoint probe(seen.x + seen.width / 2, seen.y + (seen.y > cell.y ? 0 : 4));
            EXPECT_FALSE(gui_test::SameColour(shot, probe, background)) << "cell " << i << " at unit " << unit;
        }
    }
}
