#pragma once
// Shows where the placing of the landmarks stands: the guide's prompt, pointer and
// definition line, the marks of the placed landmarks, the pointer's read-out and the S-N
// distance of the calibration panel, all from the typed state.
// Each is written when what it shows changes, as the window has always written it.

#include "ui/main_window.h"

namespace ceph::presenter {

// Under the guide once a new radiograph sent the clinician back to S.
inline constexpr const char* kPictureReplaced = "圖案已更換，請從 S 重新點起";
inline constexpr const char* kFilmTurned = "影像已轉向，請從 S 重新點起";

// The ruler calibration's prompts under the guide, its lines under them, and the marks
// of the ruler's points on the film.
inline constexpr const char* kRulerFirst = "請點選尺規上的第一點";
inline constexpr const char* kRulerSecond = "請點選尺規上的第二點";
inline constexpr const char* kRulerDistance = "請輸入兩點間的距離（mm）";
inline constexpr const char* kRulerClickHint = "兩點相距愈遠愈準；Esc 放棄";
inline constexpr const char* kRulerTypeHint = "輸入後按 Enter 或「確定」；Esc 放棄";
inline constexpr const char* kRulerMark1 = "尺1";
inline constexpr const char* kRulerMark2 = "尺2";

// The landmark asked (or the end of the clicks): its number and name under the guide,
// the guide's pointer at its place, the line on what it is (or why the input started
// again at S) and the marks of the landmarks placed.
void ShowAsked(ui::MainWindow& win);

// The marks of the placed landmarks on the radiograph at the current zoom, and of the
// landmark model's suggestions for those still to come.
void ShowMarks(ui::MainWindow& win);
// Whether the landmark asked has a suggestion on the film shown (Enter takes it).
bool SuggestionAsked(const ui::MainWindow& win);
// Beside 全部採用 while the landmark asked is suggested: what Enter does, and how far
// the model's suggestions for it lie from a clinician's, on average.
inline constexpr const char* kAcceptHint = "按 Enter 採用建議";
inline constexpr const char* kExpectedError = "預期誤差約 ";
void ShowSuggestionLine(ui::MainWindow& win);

// A length over the radiograph in twips at the current zoom, in the image units the
// landmarks are kept in (those of the zoom S was placed at).
float PointerInScale(const ui::MainWindow& win, float twips);
// The pointer's place on the film as shown, in the film's pixels, at any zoom.
model::FilmPoint PointerOnFilm(const ui::MainWindow& win);
// The pointer's position over the radiograph in those units, in seven significant digits.
void ShowPointer(ui::MainWindow& win);

// The measured S-N distance in the calibration panel, in whole image units, and under
// it the length the picture's pixel spacing gives S and N, or nothing when the picture
// has no usable spacing.
void ShowSNDistance(ui::MainWindow& win);

// The distance in millimetres between two points kept in the image units of the scale
// (x1, y1 to x2, y2), by the pixel spacing of the picture they were clicked on: 0 when
// there is no picture, or its spacing is unknown or beyond any radiograph's.
double SpacingDistance(const ui::MainWindow& win, double x1, double y1, double x2, double y2);
// Spacings a radiograph can have, in millimetres per pixel.
inline constexpr double kFinestSpacing = 0.005, kCoarsestSpacing = 1;

// Under the film, in red, what its decoder found damaged, when it found anything: the
// film may be the only copy, so it is shown, but not as if it were whole.
inline constexpr const char* kFilmDamaged = "影像資料有損壞，顯示可能不完整：";
void ShowFilmDamage(ui::MainWindow& win);

// The ruler calibration: the prompt under the guide, the panel's distance row in place
// of the ruler button while it is under way, and nothing of it otherwise.
void ShowRuler(ui::MainWindow& win);

}  // namespace ceph::presenter
