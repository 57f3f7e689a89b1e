// Where the landmarks lie on the film traced is kept with the tracing: the pixels clicked
// at any zoom, the film's file and size, and a digest of the record line they belong
// to; the figure fields follow from them, and they stop counting once the line changes.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "presenter/digitising_view.h"
#include "store/film_positions.h"
#include "store/record_line.h"
#include "store/record_store.h"
#include "support/fake_services.h"
#include "support/temp_dir.h"
#include "wiring/events.h"

namespace ceph {
namespace {

using wiring::EventType;

std::string Slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A patient whose tracing 1 has its radiograph in the picture folder: 400 pixels square,
// 6000 twips at 100 %.
class FilmPositionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("OutExe.tmp", "Chen\r\n00101\r\n0650315\r\nM\r\n");
        dir.Write("selvsys.ini",
                  "[Selvaron]\r\nPersonPicDir=" + (dir.path() / "pics").string() + "\r\n");
        dir.Write("pics/00101_1.bmp", "picture");
        services.pictureSize = 400;
        app::FormLoad(program, dir.StartupFromHere());
    }
    void Send(EventType type, std::string_view name, float x = 0, float y = 0, int index = -1) {
        wiring::Event e{type, name, index};
        e.x = x, e.y = y;
        wiring::Dispatch(program, e);
    }
    void Zoom(int percent) {
        w.VScroll2.value = percent;
        Send(EventType::Change, "VScroll2");
    }
    // Where landmark n lies on the film, in pixels.
    static model::FilmPoint Film(int n) {
        if (n == 16) return {66.5, 100.25};
        if (n == 1) return {333.25, 66.75};
        return {20.0 + 17 * n, 150.5 + 9 * (n % 5)};
    }
    // Traces tracing 1 (in the input under way, or a new one), each landmark clicked at
    // the next of `zooms` in turn, and stores it with S-N 75 mm.
    void TraceAndStore(std::initializer_list<int> zooms, bool newInput = true) {
        if (newInput) Send(EventType::Click, "inputn", 0, 0, 0);
        const int* zoom = zooms.begin();
        for (int k = 0; k < 19; ++k) {
            Zoom(*zoom);
            if (++zoom == zooms.end()) zoom = zooms.begin();
            const int n = std::stoi(w.LabelPNTNo.caption);
            // Twips at the zoom: 15 a pixel at 100 %.
            const float f = 15.0f * static_cast<float>(w.VScroll2.value) / 100;
            const model::FilmPoint p = Film(n);
            Send(EventType::MouseMove, "Image1", static_cast<float>(p.x) * f,
                 static_cast<float>(p.y) * f);
            Send(EventType::Click, "Image1", static_cast<float>(p.x) * f,
                 static_cast<float>(p.y) * f);
        }
        w.Text6.text = "75";
        Send(EventType::Click, "Command4");
    }
    std::string Data() const { return dir.str() + "/"; }

    testing::TempDir dir;
    testing::FakeServices services;
    ui::App program{services};
    ui::MainWindow& w = program.win;
};

TEST_F(FilmPositionsTest, FinishingKeepsTheClickedPixelsAndAlignsTheFilmUnderTheFigure) {
    TraceAndStore({100, 150, 40});
    ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
    const std::string stored = Slurp(dir.path() / "ceph-1");
    const auto tracing = store::ReadTracingLine(stored.substr(0, stored.find("\r\n")));
    ASSERT_TRUE(tracing.ok());

    const auto lines = store::ReadFilmPositionsFile(Data(), 1);
    ASSERT_EQ(lines.size(), 1u);
    const model::FilmPositions& film = lines[0].film;
    EXPECT_EQ(lines[0].code, "00101");
    EXPECT_EQ(film.picture, "00101_1.bmp") << "relative to the picture folder";
    EXPECT_EQ(film.width, 400);
    EXPECT_EQ(film.height, 400);
    EXPECT_EQ(model::TurnText(film.turn), "0");
    for (int n = 1; n <= 19; ++n) {
        EXPECT_NEAR(film.at[n].x, Film(n).x, 0.1) << n;
        EXPECT_NEAR(film.at[n].y, Film(n).y, 0.1) << n;
    }
    EXPECT_TRUE(store::PositionsOfTracing(Data(), 1, "00101", tracing->X, tracing->Y));

    // The line carries the figure fields: painted at (left, top), a film pixel p lies at
    // left + p·15·scale, which puts the film's S and N under the figure's (800 + 30·mm).
    ASSERT_TRUE(tracing->figure.has_value());
    const double scale = tracing->figure->scale.Value();
    const double left = tracing->figure->left.Value(), top = tracing->figure->top.Value();
    for (int n : {16, 1}) {
        EXPECT_NEAR(left + film.at[n].x * 15 * scale, 800 + 30 * tracing->X[n], 15) << n;
        EXPECT_NEAR(top + film.at[n].y * 15 * scale, 600 + 30 * tracing->Y[n], 15) << n;
    }
    // And the boxes show them once the tracing is shown.
    EXPECT_EQ(w.Text1[0].text, tracing->figure->scale.text);
    EXPECT_EQ(w.Text1[1].text, tracing->figure->left.text);
}

TEST_F(FilmPositionsTest, PositionsCountOnlyWhileTheLineIsTheOneTheyWereTakenWith) {
    TraceAndStore({100});
    const auto read = [&] {
        const std::string line = Slurp(dir.path() / "ceph-1");
        const auto t = store::ReadTracingLine(line.substr(0, line.find("\r\n")));
        return store::PositionsOfTracing(Data(), 1, "00101", t->X, t->Y);
    };
    ASSERT_TRUE(read());
    // A new figure alignment keeps the coordinates, and so the positions.
    w.Text1[1].text = "-120";
    Send(EventType::Click, "Command2");
    EXPECT_TRUE(read());
    // Another program (cephtool import, another workstation) replaces the line.
    const std::string other = "00101," + std::string("1.0,2.0,") + "3.0,4.0,0,40Y 1M";
    ASSERT_TRUE(store::StorePatientLines(Data(), 1, {other}).ok());
    EXPECT_FALSE(read());
    EXPECT_EQ(store::ReadFilmPositionsFile(Data(), 1).size(), 1u) << "left, but not counted";

    // A tracing stored from a film no file holds keeps no positions, and drops the old.
    Send(EventType::Click, "inputn", 0, 0, 0);
    services.clipboard.handle = 77, services.clipboard.widthPx = 400;
    services.clipboard.heightPx = 400;
    Send(EventType::Click, "pastemn");
    for (int k = 0; k < 19; ++k) {
        const int n = std::stoi(w.LabelPNTNo.caption);
        Send(EventType::MouseMove, "Image1", 300.0f + 40 * n, n == 1 ? 100.0f : 2000.0f);
        Send(EventType::Click, "Image1", 300.0f + 40 * n, n == 1 ? 100.0f : 2000.0f);
    }
    w.Text6.text = "75";
    Send(EventType::Click, "Command4");
    EXPECT_TRUE(store::ReadFilmPositionsFile(Data(), 1).empty());
    const std::string line = Slurp(dir.path() / "ceph-1");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 40) << "no figure fields: " << line;
}

// Where landmark n's mark lies on the film shown, in film pixels.
model::FilmPoint MarkOnFilm(const ui::MainWindow& w, int n) {
    const ui::PlacedMark& m = w.Image1.marks[static_cast<std::size_t>(n - 1)];
    return {m.x * 400.0 / w.Image1.width, m.y * 400.0 / w.Image1.height};
}

TEST_F(FilmPositionsTest, TheCorrectionOpensWithEveryMarkInPlaceAndKeepsWhereTheyWereMoved) {
    Send(EventType::Click, "inputn", 0, 0, 0);
    w.readceph.maximised = true;  // the clinician's choice for the input window
    Send(EventType::Click, "Command3");
    TraceAndStore({100});
    ASSERT_FALSE(w.readceph.maximised) << "the viewing state's own size";

    Send(EventType::Click, "correctmn");
    ASSERT_EQ(w.state.Correction.step, ui::CorrectionState::Step::Moving) << "no S or N to click";
    EXPECT_TRUE(w.readceph.maximised);
    EXPECT_LE(w.Image1.width, w.Picture4.width) << "the whole film in view";
    EXPECT_LE(w.Image1.height, w.Picture4.height);
    ASSERT_EQ(w.Image1.marks.size(), 19u);
    for (int n = 1; n <= 19; ++n) {
        // The record keeps tenths of a millimetre, some 0.3 mm a pixel here.
        EXPECT_NEAR(MarkOnFilm(w, n).x, Film(n).x, 0.5) << n;
        EXPECT_NEAR(MarkOnFilm(w, n).y, Film(n).y, 0.5) << n;
    }

    // Landmark 7 dragged 10 pixels right, and stored.
    const float k = w.Image1.width / 400.0f;
    const ui::PlacedMark seven = w.Image1.marks[6];
    const auto mouse = [&](EventType type, float x, float y) {
        wiring::Event e{type, "Image1"};
        e.x = x, e.y = y, e.button = 1;
        wiring::Dispatch(program, e);
    };
    mouse(EventType::MouseDown, seven.x, seven.y);
    mouse(EventType::MouseMove, seven.x + 10 * k, seven.y);
    mouse(EventType::MouseUp, seven.x + 10 * k, seven.y);
    Send(EventType::Click, "saveCorrection");
    ASSERT_TRUE(services.messages.empty()) << services.messages[0].text;
    const std::string line = Slurp(dir.path() / "ceph-1");
    const auto tracing = store::ReadTracingLine(line.substr(0, line.find("\r\n")));
    const auto film = store::PositionsOfTracing(Data(), 1, "00101", tracing->X, tracing->Y);
    ASSERT_TRUE(film) << "taken with the corrected line";
    EXPECT_NEAR(film->at[7].x, Film(7).x + 10, 0.5);
    EXPECT_NEAR(film->at[3].x, Film(3).x, 0.5);
    // The figure fields came from the positions, so they follow the correction.
    EXPECT_EQ(tracing->figure, model::AlignmentFromPositions(*film, tracing->X, tracing->Y));
}

// The window manager gives the window its size after the correction opened: the film is
// fitted again, until the clinician chooses a zoom.
TEST_F(FilmPositionsTest, TheCorrectionsFilmFitsTheWindowItGets) {
    services.pictureSize = 2000;
    TraceAndStore({100});
    Send(EventType::Click, "correctmn");
    const int first = w.VScroll2.value;
    const auto resize = [&](float width, float height) {
        w.readceph.scaleWidth = width, w.readceph.scaleHeight = height;
        Send(EventType::Resize, "readceph");
    };
    resize(9000, 6000);  // on its way to maximised: several sizes in a row
    resize(24000, 14000);
    const int fitted = w.VScroll2.value;
    EXPECT_GT(fitted, first);
    EXPECT_LE(w.Image1.height, w.Picture4.height);
    EXPECT_GT(w.Image1.height, w.Picture4.height * 0.8f);
    EXPECT_EQ(w.Image1.marks.size(), 19u);
    Send(EventType::Click, "zoominmn");
    const int chosen = w.VScroll2.value;
    resize(20000, 12000);
    EXPECT_EQ(w.VScroll2.value, chosen) << "the clinician's zoom stays";
}

TEST_F(FilmPositionsTest, ACorrectionOnSAndNKeepsThePositionsItFound) {
    TraceAndStore({100});
    std::filesystem::remove(dir.path() / "film-1.txt");  // a tracing from before them
    Send(EventType::Click, "correctmn");
    ASSERT_EQ(w.state.Correction.step, ui::CorrectionState::Step::AskingS);
    const float k = w.Image1.width / 400.0f;
    for (int n : {16, 1}) {
        const float x = static_cast<float>(Film(n).x) * k, y = static_cast<float>(Film(n).y) * k;
        Send(EventType::MouseMove, "Image1", x, y);
        Send(EventType::Click, "Image1", x, y);
    }
    ASSERT_EQ(w.state.Correction.step, ui::CorrectionState::Step::Moving);
    const ui::PlacedMark pog = w.Image1.marks[9];
    wiring::Event e{EventType::MouseDown, "Image1"};
    e.x = pog.x, e.y = pog.y, e.button = 1;
    wiring::Dispatch(program, e);
    e.type = EventType::MouseUp, e.y = pog.y + 6 * k;
    wiring::Dispatch(program, e);
    Send(EventType::Click, "saveCorrection");
    const std::string line = Slurp(dir.path() / "ceph-1");
    const auto tracing = store::ReadTracingLine(line.substr(0, line.find("\r\n")));
    const auto film = store::PositionsOfTracing(Data(), 1, "00101", tracing->X, tracing->Y);
    ASSERT_TRUE(film);
    EXPECT_NEAR(film->at[10].y, Film(10).y + 6, 0.5);
    EXPECT_NEAR(film->at[16].x, Film(16).x, 0.5);
}

TEST_F(FilmPositionsTest, AFilmTurnedUprightIsTracedAsShownAndKeptWithItsTurn) {
    services.pictureHeight = 300;  // 400 across, 300 down as the file holds it
    Send(EventType::Click, "inputn", 0, 0, 0);
    Send(EventType::MouseMove, "Image1", 1500, 1500);
    Send(EventType::Click, "Image1", 1500, 1500);  // S
    ASSERT_EQ(w.LabelPNTNo.caption, "1");
    Send(EventType::Click, "turnrightmn");
    // S was placed on the film as it lay: the tracing starts again at S, and says why.
    EXPECT_EQ(w.LabelPNTNo.caption, "16");
    EXPECT_EQ(w.LabelPNTDef.caption, presenter::kFilmTurned);
    EXPECT_EQ(w.Picture6.picture.widthPx, 300);
    Send(EventType::Click, "mirrormn");
    Send(EventType::Click, "turnleftmn");
    EXPECT_EQ(services.turns, (std::vector<std::string>{"90", "mirror", "270"}));
    EXPECT_EQ(model::TurnText(w.state.Digitising.film.turn), "mirror+180");
    Send(EventType::Click, "turnleftmn");  // mirrored, then a quarter turn right
    TraceAndStore({100}, false);
    auto lines = store::ReadFilmPositionsFile(Data(), 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(model::TurnText(lines[0].film.turn), "mirror+90");
    EXPECT_EQ(lines[0].film.width, 300) << "the film as shown";
    EXPECT_EQ(lines[0].film.height, 400);
    EXPECT_EQ(lines[0].film.picture, "00101_1.bmp") << "the file as it is";

    // The correction shows the film as it was traced, and keeps it so.
    services.turns.clear();
    Send(EventType::Click, "correctmn");
    ASSERT_EQ(w.state.Correction.step, ui::CorrectionState::Step::Moving);
    EXPECT_EQ(services.turns, (std::vector<std::string>{"mirror+90"}));
    EXPECT_EQ(w.Image1.picture.widthPx, 300);
    Send(EventType::Click, "turnrightmn");
    EXPECT_EQ(services.turns.size(), 1u) << "no turning under a correction";
    Send(EventType::Click, "cancelCorrection");

    // Stored as shown, the film needs no turn any more.
    Send(EventType::Click, "inputn", 0, 0, 0);
    Send(EventType::Click, "turnrightmn");
    services.answers.push_back(ui::MessageAnswer::Yes);
    Send(EventType::Click, "bmpsave");
    ASSERT_FALSE(services.savedJpegs.empty());
    EXPECT_EQ(w.state.Digitising.film.turn, model::FilmTurn{});
    EXPECT_EQ(w.state.Digitising.film.picture.substr(w.state.Digitising.film.picture.size() - 11),
              "00101_1.jpg");
}

// Positions that cannot be written cost only their help: the tracing is stored, the
// clinician is told which file failed, and the old positions file is left as it was.
TEST_F(FilmPositionsTest, PositionsThatCannotBeWrittenLeaveTheTracingStored) {
    std::filesystem::create_directory(dir.path() / "film-1.txt");
    TraceAndStore({100});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_NE(services.messages[0].text.find("描圖已存檔"), std::string::npos);
    EXPECT_NE(services.messages[0].text.find("film-1.txt"), std::string::npos);
    EXPECT_EQ(Slurp(dir.path() / "ceph-1").rfind("00101,", 0), 0u);
    EXPECT_TRUE(w.readn[0].enabled) << "stored and shown";
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "film-1.txt"));
}

TEST_F(FilmPositionsTest, ThePicturesStoredFromTheFilmTracedIsTheOneNamed) {
    Send(EventType::Click, "inputn", 0, 0, 0);
    services.answers.push_back(ui::MessageAnswer::Yes);  // over the film's own bitmap
    Send(EventType::Click, "bmpsave");
    for (int k = 0; k < 19; ++k) {
        const int n = std::stoi(w.LabelPNTNo.caption);
        Send(EventType::MouseMove, "Image1", 300.0f + 40 * n, n == 1 ? 100.0f : 2000.0f);
        Send(EventType::Click, "Image1", 300.0f + 40 * n, n == 1 ? 100.0f : 2000.0f);
    }
    w.Text6.text = "75";
    Send(EventType::Click, "Command4");
    const auto lines = store::ReadFilmPositionsFile(Data(), 1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].film.picture, "00101_1.jpg");
}

}  // namespace
}  // namespace ceph
