#include "record_gen.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace ceph::bench {

namespace {

// A typical adult lateral tracing in millimetres, S at the origin, x forward and y down;
// each patient varies around it by a few millimetres.
constexpr std::array<std::array<double, 2>, 19> kTypical = {{
    {68.2, -9.5}, {60.1, 18.4},  {66.3, 28.9},  {71.5, 52.0}, {73.8, 64.2},
    {69.9, 88.1}, {66.0, 101.3}, {61.8, 106.9}, {10.2, 78.5}, {-4.1, 54.7},
    {-9.8, 27.3}, {49.5, 26.4},  {73.0, 57.5},  {68.7, 86.9}, {-12.6, 22.1},
    {0.0, 0.0},   {78.9, 17.0},  {83.4, 64.8},  {80.6, 96.2},
}};
constexpr int kSlots = 9;
constexpr int kFirstCode = 10000, kLastCode = 99999;

void AppendTenths(std::string& out, double mm) {
    char text[32];
    double tenths = std::nearbyint(mm * 10.0);
    if (tenths == 0.0) tenths = 0.0;  // a negative zero would print as "-0.0"
    std::snprintf(text, sizeof text, "%.1f", tenths / 10.0);
    out += text;
}

}  // namespace

std::string MakeRecordLine(const std::string& code, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> spread(0.0, 3.0);
    std::string line = code;
    line.reserve(256);
    for (std::size_t i = 0; i < kTypical.size(); ++i) {
        const bool sella = i == 15;
        for (double base : kTypical[i]) {
            line += ',';
            AppendTenths(line, sella ? 0.0 : base + spread(rng));
        }
    }
    std::uniform_int_distribution<int> years(7, 58), months(0, 11);
    line += ",0,";
    line += std::to_string(years(rng)) + "Y " + std::to_string(months(rng)) + "M";
    return line;
}

void WriteRecordFiles(const std::string& dir, const RecordSet& set) {
    std::vector<std::string> pool;
    for (int c = kFirstCode; c <= kLastCode; ++c) {
        std::string code = std::to_string(c);
        if (code != set.absentCode && code != set.lateCode) pool.push_back(std::move(code));
    }
    const auto others = static_cast<std::size_t>(set.patientsPerFile - 1);
    if (others > pool.size()) throw std::invalid_argument("more patients than codes");

    for (int n = 1; n <= kSlots; ++n) {
        std::mt19937 rng(static_cast<unsigned>(n));
        std::shuffle(pool.begin(), pool.end(), rng);
        std::vector<const std::string*> order;
        order.reserve(others + 1);
        for (std::size_t i = 0; i < others; ++i)
            order.push_back(&pool[i]);
        const auto late = static_cast<std::ptrdiff_t>(
            order.size() -
            std::min(order.size(), static_cast<std::size_t>(set.linesAfterLateCode)));
        order.insert(order.begin() + late, &set.lateCode);

        std::string bytes;
        bytes.reserve(order.size() * 240);
        for (const std::string* code : order) {
            bytes += MakeRecordLine(*code, static_cast<unsigned>(rng()));
            bytes += "\r\n";
        }
        std::ofstream out(dir + "/ceph-" + std::to_string(n), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write the record files in " + dir);
    }
}

}  // namespace ceph::bench
