#pragma once
// Reading a drawing list back in tests: its texts with where and how they were drawn,
// one of them by its text, and a check of a text's place and size.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "page/drawing.h"

namespace ceph::testing {

inline std::vector<page::DrawText> Texts(const page::DrawingList& list) {
    std::vector<page::DrawText> texts;
    for (const page::DrawOp& op : list.ops)
        if (auto* t = std::get_if<page::DrawText>(&op)) texts.push_back(*t);
    return texts;
}

// The n-th text (from 0) that reads `text`; null when there is none.
inline const page::DrawText* FindText(const std::vector<page::DrawText>& texts,
                                      const std::string& text, int n = 0) {
    for (const page::DrawText& t : texts)
        if (t.text == text && n-- == 0) return &t;
    return nullptr;
}

}  // namespace ceph::testing

#define EXPECT_AT(text, x_, y_, size_)  \
    do {                                \
        ASSERT_NE(text, nullptr);       \
        EXPECT_EQ((text)->x, x_);       \
        EXPECT_EQ((text)->y, y_);       \
        EXPECT_EQ((text)->size, size_); \
    } while (0)
