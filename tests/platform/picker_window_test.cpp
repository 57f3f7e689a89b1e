// The file picker is made like the main window's controls: its lists carry the picker's
// name before their own, show the model's entries, and a folder opened and a file
// clicked in the real widgets reach the picker's handlers. Closing the main window goes
// through its unload handler like every other event.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QTest>
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

class PickerWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir);
        ASSERT_TRUE(
            testing::WriteGreyJpeg(dir.path() / "pics" / "older" / "00101_3.jpg", {120, 100}, 150));
        app::FormLoad(program, dir.StartupFromHere());
        window = std::make_unique<platform::QtMainWindow>(program, &services.Pictures());
        services.SetPickerRunner([this] { window->RunPicker(); });
        window->show();
    }
    template <class T>
    T* InPicker(const char* name) {
        return window->PickerDialog()->findChild<T*>(QString::fromUtf8(name));
    }
    static QPoint Centre(QListWidget* list, int row) {
        return list->visualItemRect(list->item(row)).center();
    }
    static int RowOf(const std::vector<std::string>& items, const char* entry) {
        const auto it = std::find(items.begin(), items.end(), entry);
        return it == items.end() ? -1 : static_cast<int>(it - items.begin());
    }

    testing::TempDir dir;
    platform::QtServices services;
    ui::App program{services};
    std::unique_ptr<platform::QtMainWindow> window;
};

TEST_F(PickerWindowTest, AFolderOpenedAndAFileClickedInTheListsChooseTheFile) {
    // Whatever happens inside the picker's loop, it ends.
    QTimer::singleShot(10000, window.get(), [this] { window->PickerDialog()->reject(); });
    QTimer::singleShot(0, window.get(), [this] {
        auto* drives = InPicker<QComboBox>("gotalk.Drive1");
        auto* folders = InPicker<QListWidget>("gotalk.Dir1");
        auto* files = InPicker<QListWidget>("gotalk.File1");
        if (!drives || !folders || !files) return ADD_FAILURE() << "a list is missing";
        EXPECT_TRUE(window->PickerDialog()->isVisible());
        EXPECT_EQ(files->accessibleName().toStdString(), "gotalk.File1");
        EXPECT_EQ(folders->accessibleDescription().toStdString(), "gotalk.Dir1");
        EXPECT_EQ(drives->count(), static_cast<int>(program.picker.Drive1.items.size()));
        EXPECT_EQ(files->geometry(), platform::ScreenTwips().Rect(2340, 540, 2235, 3360));
        EXPECT_EQ(files->count(), 0) << "the picture folder holds only a folder";
        // The box above names the folder listed, not only the drive it lies on ("/").
        EXPECT_EQ(drives->currentText().toStdString(), program.picker.Dir1.path);
        EXPECT_NE(drives->currentText().toStdString().find("pics"), std::string::npos);

        const int older = RowOf(program.picker.Dir1.items, "older");
        if (older < 0 || older >= folders->count()) return ADD_FAILURE() << "no folder listed";
        // Through the window system, which turns the second press into a double-click.
        QDialog* dialog = window->PickerDialog();
        const QPoint at = folders->viewport()->mapTo(dialog, Centre(folders, older));
        QTest::mouseMove(dialog->windowHandle(), at);
        QTest::mouseDClick(dialog->windowHandle(), Qt::LeftButton, {}, at);
        const int row = RowOf(program.picker.File1.items, "00101_3.jpg");
        if (row < 0 || row >= files->count()) return ADD_FAILURE() << "the folder was not opened";
        EXPECT_EQ(files->item(row)->text().toStdString(), "00101_3.jpg");
        EXPECT_EQ(drives->currentText().toStdString(), program.picker.Dir1.path);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, Centre(files, row));
    });
    window->Handle({wiring::EventType::Click, "piccas00"});
    EXPECT_FALSE(window->PickerDialog()->isVisible());
    EXPECT_NE(program.picker.gotalk.tag.find("00101_3.jpg"), std::string::npos);
    EXPECT_FALSE(program.win.Image1.picture.empty()) << "the chosen file is shown";
}

// The files listed are those the formats the platform registers name: pictures by their
// extension, DICOM files also without one or by their number.
TEST_F(PickerWindowTest, TheFilesListedAreThoseTheRegisteredFormatsName) {
    for (const char* name : {"IM0001", "1.2.840.5", "scan.PNG", "x.tiff", "notes.txt", "a.bmp",
                             "b.dcm", "c.jpeg", "d.gif"})
        dir.Write(std::string("pics/older/") + name, "x");
    services.SetPickerRunner([this] {
        const int older = RowOf(program.picker.Dir1.items, "older");
        ASSERT_GE(older, 0);
        wiring::Dispatch(program, {wiring::EventType::Click, "gotalk.Dir1", older});
    });
    window->Handle({wiring::EventType::Click, "piccas00"});
    EXPECT_EQ(program.picker.File1.items,
              (std::vector<std::string>{"00101_3.jpg", "1.2.840.5", "a.bmp", "b.dcm", "c.jpeg",
                                        "IM0001", "scan.PNG", "x.tiff"}));
}

TEST_F(PickerWindowTest, ThePickersListsAreNotMadeBeforeItIsShown) {
    EXPECT_EQ(window->findChild<QDialog*>(QStringLiteral("gotalk")), nullptr);
    EXPECT_EQ(window->findChild<QWidget*>(QStringLiteral("gotalk.File1")), nullptr);
    auto* files = qobject_cast<QListWidget*>(window->WidgetOf(&program.picker.File1));
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->parentWidget(), window->PickerDialog());
    EXPECT_EQ(files->objectName().toStdString(), "gotalk.File1");
}

TEST_F(PickerWindowTest, ClosingTheMainWindowEndsTheProgramThroughItsUnloadHandler) {
    window->PickerDialog()->show();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(program.quitRequested);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->PickerDialog()->isVisible());
    EXPECT_TRUE(wiring::Dispatch(program, {wiring::EventType::Unload, "readceph"}));
}

}  // namespace
}  // namespace ceph
