// What the strip draws, read back from the screen: cell fills, bevels, the centred thumbnail, the
// focus mark, file names and labels; and how an item loads and scales its picture.
#include "tests/gui/thumbnail_strip_fixture.h"

#include <wx/ffile.h>
#include <wx/filename.h>
#include <wx/log.h>

#include <cstdlib>
#include <functional>
#include <set>

namespace {

const wxColour kBackground(176, 223, 227);
const wxColour kPictureColour(200, 60, 40);

wxColour At(const wxImage& shot, int x, int y) {
    return wxColour(shot.GetRed(x, y), shot.GetGreen(x, y), shot.GetBlue(x, y));
}

// Pixels of `area` (clipped to the image) for which `match` holds.
int CountPixels(const wxImage& shot, wxRect area, const std::function<bool(const wxColour&)>& match) {
    area.Intersect(wxRect(0, 0, shot.GetWidth(), shot.GetHeight()));
    int count = 0;
    for (int y = area.y; y < area.y + area.height; ++y)
        for (int x = area.x; x < area.x + area.width; ++x)
            count += match(At(shot, x, y)) ? 1 : 0;
    return count;
}

bool Dark(const wxColour& c) { return c.Red() < 90 && c.Green() < 90 && c.Blue() < 90; }
bool White(const wxColour& c) { return c.Red() > 230 && c.Green() > 230 && c.Blue() > 230; }
bool LabelBlue(const wxColour& c) { return c.Blue() > 120 && c.Red() < 110 && c.Green() < 110; }

std::string Name(const wxColour& c) { return c.GetAsString(wxC2S_CSS_SYNTAX).ToStdString(); }

// Text bands of a cell, in the same coordinates as the cell.
wxRect NameBand(const wxRect& cell, int textBand) { return wxRect(cell.x + 3, cell.y + 3, cell.width - 6, textBand - 6); }
wxRect LabelBand(const wxRect& cell, int textBand) {
    return wxRect(cell.x + 3, cell.y + cell.height - textBand + 3, cell.width - 6, textBand - 6);
}

}  // namespace

class StripPaintTest : public StripTest {
protected:
    wxRect Cell(int n) {
        wxRect rect;
        EXPECT_TRUE(strip->GetItemRect(n, rect, true));
        return rect;
    }
    wxRect PictureArea(int n) {
        wxRect rect;
        EXPECT_TRUE(strip->GetItemRectImage(n, rect, true));
        return rect;
    }
    int TextBand() const { return (strip->m_itemHeight - strip->m_thumbnailHeight) / 2; }

    void ExpectBevel(const wxImage& shot, const wxRect& cell, bool pressed) {
        const wxColour topLeft = pressed ? *wxBLACK : *wxWHITE;
        const wxColour bottomRight = pressed ? *wxWHITE : *wxBLACK;
        EXPECT_EQ(Name(At(shot, cell.x + 10, cell.y)), Name(topLeft));
        EXPECT_EQ(Name(At(shot, cell.x, cell.y + 10)), Name(topLeft));
        EXPECT_EQ(Name(At(shot, cell.GetRight(), cell.y + 10)), Name(bottomRight));
        EXPECT_EQ(Name(At(shot, cell.x + 10, cell.GetBottom())), Name(bottomRight));
    }

    int FocusMarkPixels(const wxImage& shot, int n) {
        const wxRect p = PictureArea(n);
        const wxRect ring(p.x - 1, p.y - 1, p.width + 2, p.height + 2);
        // The dotted pen's dots come out slightly blended with the fill.
        const auto isMark = [](const wxColour& c) {
            return std::abs(c.Red() - 100) <= 12 && std::abs(c.Green() - 80) <= 12 && std::abs(c.Blue() - 80) <= 12;
        };
        return CountPixels(shot, wxRect(ring.x, ring.y, ring.width, 1), isMark) +
               CountPixels(shot, wxRect(ring.x, ring.GetBottom(), ring.width, 1), isMark) +
               CountPixels(shot, wxRect(ring.x, ring.y, 1, ring.height), isMark) +
               CountPixels(shot, wxRect(ring.GetRight(), ring.y, 1, ring.height), isMark);
    }
};

TEST_F(StripPaintTest, SelectionFillBevelThumbnailAndFocusMark) {
    AppendPictures(3);
    Click(CellCentre(1));
    const wxColour unselected = strip->m_unselectedColour;
    ASSERT_NE(Name(unselected), Name(wxColour(140, 140, 140)));

    wxImage shot = Shot();
    EXPECT_EQ(Name(At(shot, 1, 1)), Name(kBackground));
    EXPECT_EQ(Name(At(shot, Cell(0).GetRight() + 2, 20)), Name(kBackground)) << "the gap between cells";
    EXPECT_EQ(Name(At(shot, 300, 300)), Name(kBackground));

    const wxRect c0 = Cell(0);
    const wxRect c1 = Cell(1);
    EXPECT_EQ(Name(At(shot, c0.x + 1, c0.y + c0.height / 2)), Name(unselected));
    EXPECT_EQ(Name(At(shot, c1.x + 1, c1.y + c1.height / 2)), Name(wxColour(140, 140, 140)));
    ExpectBevel(shot, c0, false);
    ExpectBevel(shot, c1, true);

    // The 40 x 30 picture keeps its size, centred in the 80 x 80 area.
    const wxRect p = PictureArea(1);
    const wxRect thumb(p.x + 20, p.y + 25, 40, 30);
    EXPECT_EQ(CountPixels(shot, thumb, [](const wxColour& c) { return c == kPictureColour; }), 40 * 30);
    for (const wxPoint& outside : {wxPoint(thumb.x - 1, thumb.y), wxPoint(thumb.GetRight() + 1, thumb.y),
                                   wxPoint(thumb.x, thumb.y - 1), wxPoint(thumb.x, thumb.GetBottom() + 1)})
        EXPECT_EQ(Name(At(shot, outside.x, outside.y)), Name(wxColour(140, 140, 140)));

    // The focus mark rings the focus item's picture area only while the strip has the focus.
    EXPECT_GT(FocusMarkPixels(shot, 1), 40);
    EXPECT_EQ(FocusMarkPixels(shot, 0), 0);

    // Texts: black name and blue label on an unselected cell, white ones on a selected cell.
    EXPECT_GT(CountPixels(shot, NameBand(c0, TextBand()), Dark), 10);
    EXPECT_GT(CountPixels(shot, LabelBand(c0, TextBand()), LabelBlue), 10);
    EXPECT_EQ(CountPixels(shot, NameBand(c1, TextBand()), Dark), 0);
    EXPECT_EQ(CountPixels(shot, LabelBand(c1, TextBand()), LabelBlue), 0);
    EXPECT_GT(CountPixels(shot, NameBand(c1, TextBand()), White), 10);
    EXPECT_GT(CountPixels(shot, LabelBand(c1, TextBand()), White), 10);

    FocusOther();
    shot = Shot();
    EXPECT_EQ(Name(At(shot, c1.x + 1, c1.y + c1.height / 2)), Name(wxColour(175, 175, 175)));
    EXPECT_EQ(Name(At(shot, c0.x + 1, c0.y + c0.height / 2)), Name(unselected));
    EXPECT_EQ(FocusMarkPixels(shot, 1), 0);
    ExpectBevel(shot, c1, true);

    FocusStrip();
    shot = Shot();
    EXPECT_EQ(Name(At(shot, c1.x + 1, c1.y + c1.height / 2)), Name(wxColour(140, 140, 140)));
    EXPECT_GT(FocusMarkPixels(shot, 1), 40);
}

TEST_F(StripPaintTest, FileNamesAreCentredOrClippedAndLabelsNeedAnExtension) {
    AppendFile(Picture("WWWWWWWWWWWWWWWWWWWWWWWWWWWWW.png"));
    AppendFile(Picture("noext"));
    AppendFile(Picture("ab.png"));
    // A file that cannot be read is kept by Insert and drawn as an empty cell.
    strip->Insert(std::make_unique<wxImageThumbnailItem>(wxGetHomeDir() + "/missing.png"), 3);
    SetStripClientSize(360, 200);
    const wxImage shot = Shot();
    const int band = TextBand();

    // Too wide: starts at the band's left edge and stops at its right edge.
    const wxRect long0 = NameBand(Cell(0), band);
    EXPECT_GT(CountPixels(shot, wxRect(long0.x, long0.y, 3, long0.height), Dark), 0);
    EXPECT_EQ(CountPixels(shot, wxRect(long0.GetRight() + 1, long0.y, Cell(0).GetRight() - long0.GetRight() - 1,
                                       long0.height),
                          Dark),
              0);
    EXPECT_EQ(CountPixels(shot, wxRect(Cell(0).GetRight() + 1, long0.y, 3, long0.height), Dark), 0);

    // No extension: the name shows, the label does not.
    EXPECT_GT(CountPixels(shot, NameBand(Cell(1), band), Dark), 10);
    EXPECT_EQ(CountPixels(shot, LabelBand(Cell(1), band), LabelBlue), 0);
    EXPECT_GT(CountPixels(shot, LabelBand(Cell(2), band), LabelBlue), 10);

    // A short name is centred in its band.
    const wxRect shortBand = NameBand(Cell(2), band);
    int left = shortBand.GetRight();
    int right = shortBand.x;
    for (int y = shortBand.y; y <= shortBand.GetBottom(); ++y)
        for (int x = shortBand.x; x <= shortBand.GetRight(); ++x)
            if (Dark(At(shot, x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_LT(left, right);
    EXPECT_GT(left - shortBand.x, 10);
    EXPECT_NEAR(left - shortBand.x, shortBand.GetRight() - right, 3);

    // The empty cell: its picture area holds only the fill.
    const wxRect empty = PictureArea(3);
    const wxColour fill = strip->m_unselectedColour;
    EXPECT_EQ(CountPixels(shot, empty, [&](const wxColour& c) { return c == fill; }), 80 * 80);
    EXPECT_GT(CountPixels(shot, NameBand(Cell(3), band), Dark), 10);
}

TEST_F(StripTest, LoadingKeepsThePictureAndScalesTheThumbnailDown) {
    struct Case {
        int width, height, thumbWidth, thumbHeight;
    };
    const Case cases[] = {
        {800, 600, 80, 60}, {600, 800, 60, 80}, {40, 30, 40, 30},   {80, 80, 80, 80},
        {160, 81, 80, 40},  {1000, 10, 80, 1},  {10, 1000, 1, 80}, {1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        const wxString path = Picture(wxString::Format("p%dx%d.png", c.width, c.height), c.width, c.height);
        wxImageThumbnailItem item(path);
        ASSERT_TRUE(item.Load(strip, false)) << c.width << "x" << c.height;
        EXPECT_EQ(item.m_thumbnail.GetSize(), wxSize(c.thumbWidth, c.thumbHeight)) << c.width << "x" << c.height;
        EXPECT_EQ(item.m_pictureSize, wxSize(c.width, c.height));
    }

    // Many colours: the picture read again stays exact, the thumbnail has at most 256.
    wxImage gradient(300, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            gradient.SetRGB(x, y, x * 255 / 299, y * 255 / 199, (x + y) % 256);
    const wxString path = wxGetHomeDir() + "/pictures/gradient.png";
    ASSERT_TRUE(gradient.SaveFile(path, wxBITMAP_TYPE_PNG));
    wxImageThumbnailItem item(path);
    ASSERT_TRUE(item.Load(strip, false));
    const wxImage picture = item.ReadPicture().picture;
    ASSERT_TRUE(picture.IsOk());
    EXPECT_EQ(std::vector<unsigned char>(picture.GetData(), picture.GetData() + 300 * 200 * 3),
              std::vector<unsigned char>(gradient.GetData(), gradient.GetData() + 300 * 200 * 3));
    const wxImage reduced = item.m_thumbnail.ConvertToImage();
    std::set<unsigned long> colours;
    for (int i = 0; i < reduced.GetWidth() * reduced.GetHeight(); ++i) {
        const unsigned char* p = reduced.GetData() + 3 * i;
        colours.insert((p[0] << 16) | (p[1] << 8) | p[2]);
    }
    EXPECT_LE(colours.size(), 256u);
    EXPECT_GT(colours.size(), 16u);
    EXPECT_EQ(item.m_thumbnail.GetSize(), wxSize(80, 53));

    // Loaded once: a second Load does not read the file again; a forced one does, and fails without
    // touching what was loaded.
    ASSERT_TRUE(wxRemoveFile(path));
    EXPECT_TRUE(item.Load(strip, false));
    EXPECT_FALSE(item.Load(strip, true));
    EXPECT_EQ(item.m_pictureSize, wxSize(300, 200));
    EXPECT_EQ(item.m_thumbnail.GetSize(), wxSize(80, 53));

    // The base item kind has nothing to load or draw.
    class PlainItem : public wxThumbnailItem {
    public:
        using wxThumbnailItem::wxThumbnailItem;
    } plain("x.png");
    EXPECT_FALSE(plain.Load(strip, false));
}

TEST_F(StripTest, BadFilesAreRefusedSilently) {
    class CountingLog : public wxLog {
    public:
        int messages = 0;

    protected:
        void DoLogRecord(wxLogLevel, const wxString&, const wxLogRecordInfo&) override { ++messages; }
    };
    CountingLog* log = new CountingLog;
    wxLog* previous = wxLog::SetActiveTarget(log);

    const wxString folder = wxGetHomeDir() + "/pictures";
    wxFileName::Mkdir(folder, wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL);
    wxFFile garbage(folder + "/broken.png", "wb");
    garbage.Write("this is not a picture at all, only text", 39);
    garbage.Close();
    wxFFile truncated(folder + "/cut.png", "wb");
    truncated.Write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    truncated.Close();
    wxFFile emptyFile(folder + "/empty.gif", "wb");
    emptyFile.Close();

    for (const char* name : {"broken.png", "cut.png", "empty.gif", "absent.png"}) {
        std::unique_ptr<wxThumbnailItem> item = std::make_unique<wxImageThumbnailItem>(folder + "/" + name);
        EXPECT_EQ(strip->Append(std::move(item), 5), -1) << name;
        EXPECT_NE(item, nullptr);
    }
    EXPECT_EQ(strip->GetCount(), 0);
    wxLog::FlushActive();
    EXPECT_EQ(log->messages, 0) << "decoder complaints are silenced";
    delete wxLog::SetActiveTarget(previous);
}

TEST_F(StripPaintTest, ScrolledCellsAreDrawnWhereTheyShow) {
    AppendPictures(12);
    SetStripClientSize(88, 300);
    const int step = strip->m_itemHeight + 3;
    strip->Scroll(0, (5 * step + 40) / 10);  // item 5 partly above the window, 6 and 7 below it
    gui_test::Pump(50);
    const wxImage shot = Shot();
    const auto isPicture = [](const wxColour& c) { return c == kPictureColour; };
    int thumbnails = 0;
    for (int n = 5; n <= 8; ++n) {
        const wxRect p = PictureArea(n);
        const wxRect thumb(p.x + 20, p.y + 25, 40, 30);
        wxRect visible = thumb;
        visible.Intersect(wxRect(0, 0, shot.GetWidth(), shot.GetHeight()));
        if (visible.IsEmpty())
            continue;
        ++thumbnails;
        EXPECT_EQ(CountPixels(shot, thumb, isPicture), visible.width * visible.height) << n;
    }
    EXPECT_GE(thumbnails, 2);
    // Nothing of the picture anywhere else: the spacing rows between cells are background.
    const wxRect gap(0, Cell(6).y - 2, 88, 1);
    EXPECT_EQ(CountPixels(shot, gap, [](const wxColour& c) { return c == kBackground; }), 88);
}
