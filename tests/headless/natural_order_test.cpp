// Files taken together go in natural order, in the window and in quintrel-gif; a drop resolves to a
// project to open or to the pictures to add.
#include "picture/dropped_files.h"
#include "picture/natural_order.h"
#include "tests/support/files.h"

#include <wx/filename.h>

#include <gtest/gtest.h>

#include <random>

TEST(NaturalOrder, IsAStrictOrderOverAwkwardNames) {
    std::vector<wxString> ordered = {  // a folder's files first; equal numbers and cases by their characters
        "/s/a/f10.png", "/s/a-1/f1.png", "/s/a1.png", "0000000000000000000000001.png", "01.png", "1.png", "2.png",
        "10.png", "0010b.png", "99999999999999999999.png", "100000000000000000000.png", "frame", "frame.png",
        "Frame1.png", "frame2.png", "FRAME10.png", "frame10.png", "take2_f9.png", "take2_f10.png", "take10_f1.png",
        "Zoe.png"};
    for (const char* name : {"Ärger3", "ärger20", "émile", "Ωmega2", "ωmega10", "Кадр9", "кадр10", "フレーム2", "フレーム10"})
        ordered.push_back(wxString::FromUTF8(name));
    for (size_t i = 0; i < ordered.size(); ++i)
        for (size_t j = 0; j < ordered.size(); ++j)
            EXPECT_EQ(natural_order::Less(ordered[i], ordered[j]), i < j) << ordered[i] << " / " << ordered[j];
    std::vector<wxString> names = ordered;
    std::shuffle(names.begin(), names.end(), std::mt19937(13));
    natural_order::Sort(names);
    EXPECT_EQ(names, ordered);
}

TEST(NaturalOrder, ADropGivesAProjectAloneOrTheFilesAndThePicturesDirectlyInEachFolder) {
    const wxString shots = test_files::Scratch("shots"), project = test_files::Scratch("walk.XML"), a = test_files::Scratch("a.png");
    ASSERT_TRUE(wxFileName::Mkdir(shots + "/sub", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    for (const char* name : {"f10.png", "f2.JPEG", "F1.gif", "p.bmp", "q.jpg", "notes.txt", ".hidden.png", "sub/f3.png"})
        test_files::Write(shots + "/" + name, "x");
    const struct {
        std::vector<wxString> dropped;
        wxString project;
        std::vector<wxString> pictures;
    } cases[] = {{{shots, a}, "", {a, shots + "/F1.gif", shots + "/f2.JPEG", shots + "/f10.png", shots + "/p.bmp", shots + "/q.jpg"}},
                 {{project}, project, {}},
                 {{project, a}, "", {a, project}}};  // for the intake to refuse
    for (const auto& c : cases) {
        EXPECT_EQ(dropped_files::Resolve(c.dropped).pictures, c.pictures) << c.dropped[0];
        EXPECT_EQ(dropped_files::Resolve(c.dropped).project, c.project) << c.dropped[0];
    }
}
