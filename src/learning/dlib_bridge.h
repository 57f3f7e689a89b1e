#pragma once
// Between the learning library and the program's own model: films as the library's
// images, trees taken from a predictor it trained and given back to it, and the shape it
// finds read to a fraction of a pixel. Only the learning's own files include this; the
// library is theirs alone.

// The library leans on what the standard headers before it declared.
#include <cstddef>
#include <vector>

// clang-format off
#include "learning/dlib_config.h"
// clang-format on
#include <dlib/array.h>
#include <dlib/array2d.h>
#include <dlib/image_processing/shape_predictor.h>
#include <dlib/image_processing/shape_predictor_trainer.h>

#include "learning/grey_film.h"
#include "model/film_positions.h"
#include "model/landmark_model.h"

namespace ceph::learning {

void ToDlibImage(const GreyFilm& film, dlib::array2d<unsigned char>& image);

// The trees of a trained predictor, read back from the library's own bytes of it.
model::ShapePredictor TakeTrees(const dlib::shape_predictor& sp);

// The predictor of trees whose every count and index was checked when they were read:
// the library reads only bytes its own writer made of those values.
dlib::shape_predictor PredictorOf(const model::ShapePredictor& trees);

// The shape the trees give in `rect`, in its unit box, to a fraction of a pixel.
std::vector<float> ShapeIn(const dlib::shape_predictor& sp, const model::ShapePredictor& trees,
                           const dlib::array2d<unsigned char>& image, const dlib::rectangle& rect);

// Part `p` of a shape in the unit box of `rect`, in the image's pixels.
model::FilmPoint InRect(const std::vector<float>& shape, std::size_t p, const dlib::rectangle& r);

// A square box of `side` pixels centred at (x, y).
dlib::rectangle BoxAt(double x, double y, long side);

// The nearest whole pixel, as the library takes marks.
dlib::point Pixel(const model::FilmPoint& p);

}  // namespace ceph::learning
