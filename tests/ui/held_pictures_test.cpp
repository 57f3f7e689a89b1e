// Which pictures the model holds: every place a picture handle can live is found, and
// "no picture" is never counted as one.

#include <gtest/gtest.h>

#include "ui/held_pictures.h"

namespace ceph::ui {
namespace {

PictureRef Ref(std::uint32_t handle) {
    return {handle, 10, 10};
}

TEST(HeldPictures, FindsEveryPlaceAPictureLives) {
    MainWindow w;
    PickerWindow picker;
    Printer printer;
    EXPECT_TRUE(HeldPictures(w, picker, printer).empty()) << "a new window holds none";

    w.Picture6.picture = Ref(1);  // the holder
    w.Image1.picture = Ref(2);
    w.Picture5.picture = Ref(3);  // the guide drawing
    w.Picture3.picture = Ref(4);  // the report's snapshot
    // The radiograph painted under the figure, among lines and texts.
    w.Picture8.drawing.ops.push_back(DrawLine{0, 0, 10, 10, kBlack});
    w.Picture8.drawing.ops.push_back(DrawPicture{Ref(5), 0, 0, 100, 100, 0x8800C6});
    w.Picture8.drawing.ops.push_back(DrawText{9, 0, 0, "S", kBlack});
    // A page waiting for the printer, the second of the job.
    printer.CurrentPage().ops.push_back(DrawText{10, 0, 0, "page 1", kBlack});
    printer.pages.emplace_back().ops.push_back(DrawPicture{Ref(6), 0, 0, 100, 100});
    // Empty references and a picture held twice.
    w.Picture2.picture = {};
    w.Picture1.drawing.ops.push_back(DrawPicture{PictureRef{}, 0, 0, 1, 1});
    w.Picture4.drawing.ops.push_back(DrawPicture{Ref(2), 0, 0, 1, 1});

    EXPECT_EQ(HeldPictures(w, picker, printer),
              (std::unordered_set<std::uint32_t>{1, 2, 3, 4, 5, 6}));

    // Letting go of a picture in one place keeps it while another still holds it.
    w.Image1.picture = {};
    EXPECT_TRUE(HeldPictures(w, picker, printer).contains(2)) << "still drawn in Picture4";
    w.Picture4.drawing.Clear();
    w.Picture8.drawing.Clear();
    printer.pages.clear();
    EXPECT_EQ(HeldPictures(w, picker, printer), (std::unordered_set<std::uint32_t>{1, 3, 4}));

    // The report panel kept for the next comparison holds its pictures after the panel
    // itself has moved on.
    w.state.ShownPanel.picture = Ref(7);
    w.state.ShownPanel.drawing.ops.push_back(DrawPicture{Ref(8), 0, 0, 1, 1});
    EXPECT_EQ(HeldPictures(w, picker, printer), (std::unordered_set<std::uint32_t>{1, 3, 4, 7, 8}));
}

}  // namespace
}  // namespace ceph::ui
