// Every caption the clinician reads must be whole: each shown label, button, check box
// and frame title fits its control in the window's own font, in each state of the
// window, with the longest texts the program puts there. A control without a caption
// tells what it is for when the pointer rests on it. Qt's own dialogs speak Chinese too.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "digitising/digitise.h"
#include "grey_jpeg.h"
#include "platform/run.h"
#include "presenter/digitising_view.h"
#include "shown_window.h"
#include "support/patient_folder.h"
#include "usecases/input.h"

namespace ceph {
namespace {

// The room a caption needs beyond its text, as the style draws the control.
int Chrome(const QWidget& w) {
    const QStyle* style = w.style();
    if (qobject_cast<const QPushButton*>(&w))
        return style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &w) +
               2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &w);
    if (qobject_cast<const QCheckBox*>(&w))
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &w);
    if (qobject_cast<const QGroupBox*>(&w)) return 2 * QFontMetrics(w.font()).averageCharWidth();
    return 0;
}

QString CaptionOf(const QWidget& w) {
    if (const auto* l = qobject_cast<const QLabel*>(&w)) return l->text();
    if (const auto* b = qobject_cast<const QAbstractButton*>(&w)) return b->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(&w)) return g->title();
    return {};
}

// Why the caption of `w` is cut off, or empty when it is whole.
std::string Cut(const QWidget& w) {
    const QString text = CaptionOf(w);
    if (text.isEmpty()) return {};
    const QFontMetrics metrics(w.font());
    const auto* label = qobject_cast<const QLabel*>(&w);
    if (label && label->wordWrap()) {
        const QRect room = label->contentsRect();
        const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap, text);
        if (needed.height() <= room.height()) return {};
        return "needs " + std::to_string(needed.height()) + " px high, has " +
               std::to_string(room.height());
    }
    const int room = label ? label->contentsRect().width() : w.width();
    const int needed = metrics.horizontalAdvance(text) + Chrome(w);
    if (needed <= room) return {};
    return "needs " + std::to_string(needed) + " px, has " + std::to_string(room);
}

class CaptionsFit : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::WritePatientFolder(dir);
        testing::WriteStoredTracing(dir, "00101");
        for (const char* name : {"00101_1.jpg", "00101_2.jpg"})
            ASSERT_TRUE(testing::WriteGreyJpeg(dir.path() / "pics" / name, {300, 300}, 90));
        shown = std::make_unique<testing::ShownWindow>(dir);
    }

    // Every control shown on the screen now: its caption whole; without one, a tooltip.
    void CheckShown(const char* state) {
        shown->window->Refresh();
        QApplication::processEvents();
        for (const ui::ControlRef& ref : w().Controls()) {
            QWidget* widget = shown->window->WidgetOf(ref.control);
            if (!widget || !widget->isVisible() || widget->visibleRegion().isEmpty()) continue;
            const std::string name = ref.control->QualifiedName();
            const std::string cut = Cut(*widget);
            EXPECT_TRUE(cut.empty()) << state << ": " << name << " \""
                                     << CaptionOf(*widget).toStdString() << "\" " << cut;
            if (NeedsTooltip(*ref.control)) {
                EXPECT_FALSE(widget->toolTip().isEmpty()) << state << ": " << name;
            }
        }
    }

    // The bars, boxes, read-outs and the panels that are clicked. Not the film: a tip
    // popping up over it would hide the landmark being sought and the loupe.
    static bool NeedsTooltip(const ui::Control& c) {
        switch (c.kind) {
            case ui::Kind::TextBox:
            case ui::Kind::HScrollBar:
            case ui::Kind::VScrollBar:
                return true;
            default:
                break;
        }
        for (const char* name : {"Command1", "LabelX", "LabelY", "Label14", "Label5", "Picture3",
                                 "Picture8", "Label16", "Label17", "Label18"})
            if (c.name == name) return true;
        return false;
    }

    void Handle(const char* name, int index = -1) {
        shown->window->Handle({wiring::EventType::Click, name, index});
    }
    ui::MainWindow& w() { return shown->program.win; }

    testing::TempDir dir;
    std::unique_ptr<testing::ShownWindow> shown;
};

TEST_F(CaptionsFit, InEveryStateOfTheWindow) {
    CheckShown("bar");

    Handle("inputn", 0);
    ASSERT_EQ(w().Label2.caption, "修改第 1 張");
    CheckShown("input");

    // The calibration panel with the longest notes it gives.
    w().Picture7.visible = true;
    w().Label14.caption = "12345";
    for (const std::string& note :
         {digitising::CalibrationNote(750, 0.5, 0.02), digitising::CalibrationNote(0, 0, 0),
          std::string("S–N「75.5.5.5」無法讀成數字，未存檔"),
          std::string("N 與 S 同一點，請按「重新」，未存檔")}) {
        w().LabelSNCheck.caption = note;
        CheckShown(("calibration, " + note).c_str());
    }
    // The length the picture's spacing gives beside the ruler's button, then the ruler's
    // prompts under the guide and its row in the panel at each step.
    ui::DigitisingState& flow = w().state.Digitising;
    flow.step = ui::DigitisingState::Step::Finished;
    w().LabelSpacing.caption = "影像比例尺：S–N 999.9 mm";
    presenter::ShowRuler(w());
    CheckShown("calibration with the spacing");
    for (const auto step : {ui::RulerState::Step::First, ui::RulerState::Step::Second,
                            ui::RulerState::Step::Distance}) {
        flow.ruler.step = step;
        presenter::ShowRuler(w());
        CheckShown(("ruler, " + w().LabelPNT.caption).c_str());
    }
    flow.ruler = {};
    presenter::ShowRuler(w());

    Handle("Command3");
    Handle("readn", 0);
    w().Picture8.visible = true;
    w().Frame2.visible = true;
    CheckShown("report");
}

TEST_F(CaptionsFit, TheAgeNoteOfAnUnreadableBirthDate) {
    testing::WriteHandOff(dir, {.born = "65/3/15"});
    shown = std::make_unique<testing::ShownWindow>(dir);
    Handle("inputn", 1);
    ASSERT_TRUE(w().LabelAgeNote.visible);
    CheckShown("input with the age note");
    // The longest note, for a birth text of any length.
    w().LabelAgeNote.caption = usecases::UnreadableBirthNote("一二三四五六七八九十一二三四五");
    CheckShown("input with the longest age note");
}

TEST(QtTexts, TheSaveDialogSpeaksChinese) {
    // Beside the program (Windows) or where the system keeps Qt's catalogues.
    const QString catalogue = QStringLiteral("/qtbase_zh_TW.qm");
    if (!QFile::exists(QCoreApplication::applicationDirPath() + QStringLiteral("/translations") +
                       catalogue) &&
        !QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + catalogue))
        GTEST_SKIP() << "Qt's Traditional Chinese catalogue is not installed";
    ASSERT_TRUE(platform::InstallChineseTranslations());
    // The dialog the program saves through, as it makes it.
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("JPEG (*.jpg)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    for (QAbstractButton* button : buttons->buttons()) {
        const QString text = button->text();
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) {
            return c.unicode() >= 0x4E00 && c.unicode() < 0xA000;
        })) << text.toStdString();
    }
}

}  // namespace
}  // namespace ceph
