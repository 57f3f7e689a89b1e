#pragma once
// Starting the input of a tracing: the age, the picture, and the first landmark.

#include <optional>
#include <string>

#include "ui/app.h"

namespace ceph::usecases {

// The year and month of a birth-date text as the host writes it: the Minguo year in
// three digits, the month in two and the day, if given, in two ("0650315", "06503"),
// blanks around it allowed. None when the text is no such date (letters, month 13,
// day 32, year 0) or lies after `today`.
std::optional<ui::YearMonth> BirthMonth(std::string_view birth, ui::YearMonth today);

// The age text ("45Y 3M") of a patient born as the birth-date text says, in the given
// year and month; none when the text is not a birth date, so no age is made up.
std::optional<std::string> AgeText(std::string_view birth, ui::YearMonth today);

// The red note beside the age box when the birth date could not be read, naming it.
std::string UnreadableBirthNote(std::string_view birth);

// What says that a tracing's picture is not there, naming in full the files looked for
// (`picture` as the tracing's picture path gives it, empty when there is none), and the
// question put when input starts without it.
std::string MissingPictureText(std::string_view picture);
std::string MissingPictureQuestion(std::string_view picture);

// Starts entering tracing index+1: the work area with its picture, the age, "S" asked.
void inputn_Click(ui::App& app, int index);

}  // namespace ceph::usecases
