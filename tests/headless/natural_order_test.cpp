// Files taken together go in natural order, the same in the window and in quintrel-gif; a drop of files
// and folders resolves to a project to open or to the pictures to add.
#include "cli/cli_run.h"
#include "picture/dropped_files.h"
#include "picture/natural_order.h"
#include "project/project_file.h"

#include "tests/support/files.h"

#include <wx/filename.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

namespace {

using test_files::Scratch;

// Every name sorts before every name after it.
const std::vector<wxString> kOrdered = {
    "/shots/a/frame10.png",  // a folder's files before its neighbours that begin like it
    "/shots/a-1/frame1.png",
    "/shots/a1.png",
    "000000000000000000000000000000001.png",  // equal numbers: ordered by their characters
    "01.png",
    "1.png",
    "2.png",
    "10.png",
    "0010b.png",
    "99999999999999999999.png",  // beyond 64 bits
    "100000000000000000000.png",
    "frame",
    "frame.png",
    "Frame1.png",
    "frame2.png",
    "FRAME10.png",
    "frame10.png",
    "take2_frame9.png",
    "take2_frame10.png",
    "take10_frame1.png",
    "Zoe.png",
    wxString::FromUTF8("Ärger3.png"),
    wxString::FromUTF8("ärger20.png"),
    wxString::FromUTF8("émile.png"),
    wxString::FromUTF8("Ωmega2.png"),
    wxString::FromUTF8("ωmega10.png"),
    wxString::FromUTF8("Кадр9.png"),
    wxString::FromUTF8("кадр10.png"),
    wxString::FromUTF8("フレーム2.png"),
    wxString::FromUTF8("フレーム10.png"),
};

struct Outcome {
    int status;
    std::string err;
};

Outcome RunCli(const std::vector<wxString>& arguments) {
    std::ostringstream out, err;
    return {cli::Main(arguments, {out, err, false}), err.str()};
}

}  // namespace

TEST(NaturalOrder, IsAStrictOrderOverAwkwardNames) {
    for (size_t i = 0; i < kOrdered.size(); ++i) {
        for (size_t j = 0; j < kOrdered.size(); ++j)
            EXPECT_EQ(natural_order::Less(kOrdered[i], kOrdered[j]), i < j) << kOrdered[i] << " / " << kOrdered[j];
    }
    std::vector<wxString> names = kOrdered;
    std::mt19937 random(13);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(names.begin(), names.end(), random);
        natural_order::Sort(names);
        ASSERT_EQ(names, kOrdered) << "round " << round;
    }
}

TEST(NaturalOrder, VeryLongDigitRunsCompareByValue) {
    const wxString nines = "f" + wxString('9', 100000), power = "f1" + wxString('0', 100000);
    EXPECT_TRUE(natural_order::Less(nines, power));
    EXPECT_FALSE(natural_order::Less(power, nines));
    EXPECT_TRUE(natural_order::Less("f" + wxString('0', 100000) + "2", "f3"));
}

TEST(DroppedFiles, AProjectAloneOpensAndFoldersGiveThePicturesDirectlyInside) {
    const wxString shots = Scratch("shots"), emptyXmlFolder = Scratch("old.xml");
    ASSERT_TRUE(wxFileName::Mkdir(shots + "/sub", wxS_DIR_DEFAULT, wxPATH_MKDIR_FULL));
    ASSERT_TRUE(wxFileName::Mkdir(emptyXmlFolder));
    for (const char* name : {"frame10.png", "frame2.PNG", "Frame1.jpg", "photo.jpeg", "anim.gif", "pic.bmp",
                             "notes.txt", ".hidden.png", "data.xml", "sub/frame3.png"})
        test_files::Write(shots + "/" + name, "x");
    const wxString project = Scratch("walk.XML"), loose = Scratch("shots-old.png"), a10 = Scratch("a10.png");
    const std::vector<wxString> inShots = {shots + "/anim.gif",  shots + "/Frame1.jpg", shots + "/frame2.PNG",
                                           shots + "/frame10.png", shots + "/photo.jpeg", shots + "/pic.bmp"};
    std::vector<wxString> shotsThenLoose = {a10};
    shotsThenLoose.insert(shotsThenLoose.end(), inShots.begin(), inShots.end());
    shotsThenLoose.push_back(loose);
    const struct {
        std::vector<wxString> dropped;
        wxString project;
        std::vector<wxString> pictures;
    } cases[] = {
        {{project}, project, {}},
        {{shots}, "", inShots},
        {{loose, shots, a10}, "", shotsThenLoose},
        {{project, a10}, "", {a10, project}},  // with others a project is one more file, which the intake refuses
        {{emptyXmlFolder}, "", {}},
        {{Scratch("missing.png")}, "", {Scratch("missing.png")}},  // named by the intake
        {{}, "", {}},
    };
    for (const auto& c : cases) {
        const dropped_files::Contents contents = dropped_files::Resolve(c.dropped);
        EXPECT_EQ(contents.project, c.project) << c.dropped.size() << " dropped";
        EXPECT_EQ(contents.pictures, c.pictures) << c.dropped.size() << " dropped";
    }
}

TEST(NaturalOrder, QuintrelGifSortsTheImagesUnlessTold) {
    std::vector<wxString> given;
    for (int i : {10, 2, 1})
        given.push_back(test_files::RampFile(wxString::Format("frame%d.png", i), 24, 16, i));
    const std::vector<wxString> sorted = {given[2], given[1], given[0]};
    const auto exportAs = [&](const wxString& name, std::vector<wxString> arguments, const std::vector<wxString>& images) {
        arguments.insert(arguments.end(), {"-o", Scratch(name + ".gif"), "--save-project", Scratch(name + ".xml")});
        arguments.insert(arguments.end(), images.begin(), images.end());
        const Outcome outcome = RunCli(arguments);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        const project_file::ReadResult read = project_file::Read(Scratch(name + ".xml"));
        EXPECT_TRUE(read.ok) << read.reason;
        return std::make_pair(test_files::Read(Scratch(name + ".gif")), read.contents.imagePaths);
    };
    const auto givenOrder = exportAs("given", {}, given);
    const auto sortedOrder = exportAs("sorted", {}, sorted);
    const auto kept = exportAs("kept", {"--no-sort"}, given);
    EXPECT_EQ(givenOrder.second, sorted);
    EXPECT_EQ(kept.second, given);
    EXPECT_EQ(givenOrder.first, sortedOrder.first);
    EXPECT_NE(kept.first, givenOrder.first);
}
