// Which frame changes after a project save make closing ask: any change of the files or their order.
#include "tests/gui/document_test_fixture.h"

using document_test::ExpectFile;
using document_test::ExpectMessage;

namespace {

enum class Edit { Nothing, ReplaceFirstByANewPicture, MoveFirstToTheEnd, RemoveLastAndAddItBack };

struct FrameChange {
    const char* name;
    Edit edit;
    bool asks;
};

class UnsavedFramesTest : public DocumentTest, public testing::WithParamInterface<FrameChange> {};

TEST_P(UnsavedFramesTest, ClosingAsksExactlyWhenTheFramesDiffer) {
    const wxArrayString pictures = AddPictures({{40, 30}, {40, 30}, {40, 30}});
    wxTEST_DIALOG(ASSERT_TRUE(frame->SaveProject()), ExpectFile(Folder() + "/anim.xml"));

    switch (GetParam().edit) {
    case Edit::Nothing:
        break;
    case Edit::ReplaceFirstByANewPicture:
        frame->GetThumbnailCtrl()->Delete(0);
        AddPictures({{40, 30}});
        break;
    case Edit::MoveFirstToTheEnd:
        frame->GetThumbnailCtrl()->Delete(0);
        frame->AddImageFiles(wxArrayString(1, &pictures[0]));
        break;
    case Edit::RemoveLastAndAddItBack:
        frame->GetThumbnailCtrl()->Delete(2);
        frame->AddImageFiles(wxArrayString(1, &pictures[2]));
        break;
    }
    // The count, delay and size are as saved in every case: only the files tell the cases apart.
    ASSERT_EQ(Count(), 3);
    ASSERT_EQ(frame->m_spinctrl_width->GetValue(), 40);
    ASSERT_EQ(frame->m_spinctrl_height->GetValue(), 30);

    if (GetParam().asks) {
        wxTEST_DIALOG(EXPECT_FALSE(frame->Close()), ExpectMessage(wxID_CANCEL));
        EXPECT_FALSE(Destroyed());
    } else {
        WITHOUT_DIALOGS(EXPECT_TRUE(frame->Close()));
        EXPECT_TRUE(Destroyed());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edits, UnsavedFramesTest,
    testing::Values(FrameChange{"Nothing", Edit::Nothing, false},
                    FrameChange{"ReplaceFirstByANewPicture", Edit::ReplaceFirstByANewPicture, true},
                    FrameChange{"MoveFirstToTheEnd", Edit::MoveFirstToTheEnd, true},
                    FrameChange{"RemoveLastAndAddItBack", Edit::RemoveLastAndAddItBack, false}),
    [](const testing::TestParamInfo<FrameChange>& info) { return std::string(info.param.name); });

}  // namespace
