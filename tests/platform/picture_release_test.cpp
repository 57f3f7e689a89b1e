// Pictures the model no longer holds are released between events in the real window,
// while every picture still shown, painted under the figure or kept in the holder
// stays, and nothing is released while a handler waits in a modal loop.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/startup.h"
#include "grey_jpeg.h"
#include "platform/qt_services.h"
#include "platform/qt_window.h"
#include "support/patient_folder.h"
#include "support/temp_dir.h"

namespace ceph {
namespace {

class PictureReleaseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir);
        testing::WriteStoredTracing(dir, "00101");
        for (const char* name : {"00101_1.jpg", "00101_3.jpg"})
            ASSERT_TRUE(testing::WriteGreyJpeg(dir.path() / "pics" / name, {120, 100}, 150));
        app::FormLoad(program, dir.StartupFromHere());
        window = std::make_unique<platform::QtMainWindow>(program, &services.Pictures());
        services.SetPickerRunner([this] { window->RunPicker(); });
        window->show();
    }
    void Trigger(const ui::MenuItem& item) { window->ActionOf(&item)->trigger(); }
    bool Kept(const ui::PictureRef& ref) const { return !services.Pictures().Get(ref).isNull(); }
    std::size_t HeldCount() const {
        return ui::HeldPictures(program.win, program.picker, program.printer).size();
    }

    testing::TempDir dir;
    platform::QtServices services;
    ui::App program{services};
    std::unique_ptr<platform::QtMainWindow> window;
    ui::MainWindow& w = program.win;
};

TEST_F(PictureReleaseTest, ReplacedPicturesGoWhileHeldOnesStay) {
    // The guide drawing is the services' own, handed out again on every call: it stays
    // even while no box shows it.
    const ui::PictureRef guide = services.GuideDrawing();
    w.Picture5.picture = {};
    window->Handle({wiring::EventType::Timer, "Timer1"});
    EXPECT_TRUE(Kept(guide));
    w.Picture5.picture = guide;

    // Input, cancel, input again: the first radiograph is released, the second shown.
    Trigger(w.inputn[2]);
    const ui::PictureRef first = w.Image1.picture;
    ASSERT_TRUE(Kept(first));
    qobject_cast<QPushButton*>(window->WidgetOf(&w.Command3))->click();
    EXPECT_TRUE(Kept(first)) << "cancelling leaves the radiograph in the holder";
    Trigger(w.inputn[2]);
    const ui::PictureRef second = w.Image1.picture;
    EXPECT_NE(second.handle, first.handle);
    EXPECT_FALSE(Kept(first));
    EXPECT_TRUE(Kept(second));
    EXPECT_EQ(services.Pictures().Count(), HeldCount()) << "the radiograph and the guide";
    qobject_cast<QPushButton*>(window->WidgetOf(&w.Command3))->click();

    // Tracing 1 shown: its radiograph is painted under the figure and kept in the holder.
    Trigger(w.readn[0]);
    const ui::PictureRef under = w.Picture6.picture;
    ASSERT_TRUE(Kept(under));
    ASSERT_TRUE(std::any_of(w.Picture8.drawing.ops.begin(), w.Picture8.drawing.ops.end(),
                            [&](const ui::DrawOp& op) {
                                const auto* p = std::get_if<ui::DrawPicture>(&op);
                                return p && p->picture.handle == under.handle;
                            }));
    // An input takes the holder; the figure's drawing alone still holds the picture.
    Trigger(w.inputn[2]);
    EXPECT_NE(w.Picture6.picture.handle, under.handle);
    EXPECT_TRUE(Kept(under)) << "painted under the figure";
    qobject_cast<QPushButton*>(window->WidgetOf(&w.Command3))->click();

    // Shown again, then the figure's picture switched off: the drawing no longer holds
    // the radiograph, the holder alone does.
    Trigger(w.readn[0]);
    EXPECT_FALSE(Kept(under)) << "replaced by the picture loaded for this showing";
    const ui::PictureRef again = w.Picture6.picture;
    qobject_cast<QCheckBox*>(window->WidgetOf(&w.Check2))->click();
    ASSERT_EQ(w.Check2.value, 0);
    EXPECT_EQ(w.Picture6.picture.handle, again.handle);
    EXPECT_TRUE(Kept(again)) << "held by the holder only";
    EXPECT_EQ(services.Pictures().Count(), HeldCount());
}

TEST_F(PictureReleaseTest, NothingIsReleasedWhileAHandlerWaitsInAModalLoop) {
    // While the picker runs inside its handler, a picture only a handler's local holds
    // must outlive the events handled inside the picker's loop.
    ui::PictureRef local;
    bool keptInsideTheLoop = false;
    QTimer::singleShot(0, window.get(), [&] {
        local = services.Pictures().Add(QImage(8, 8, QImage::Format_Grayscale8));
        const auto& files = program.picker.File1.items;
        const auto it = std::find(files.begin(), files.end(), "00101_3.jpg");
        if (it == files.end()) {
            ADD_FAILURE() << "the picker does not list the radiograph";
            return window->PickerDialog()->reject();
        }
        window->Handle(
            {wiring::EventType::Click, "gotalk.File1", static_cast<int>(it - files.begin())});
        keptInsideTheLoop = Kept(local);
    });
    window->Handle({wiring::EventType::Click, "piccas00"});
    EXPECT_TRUE(keptInsideTheLoop);
    ASSERT_FALSE(w.Image1.picture.empty()) << "the chosen file is shown";
    EXPECT_TRUE(Kept(w.Image1.picture));
    EXPECT_FALSE(Kept(local)) << "released once the outer handler has finished";
}

}  // namespace
}  // namespace ceph
