#include "presenter/follow_up_view.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "model/landmark.h"
#include "model/measurement.h"
#include "model/norms.h"
#include "model/numbers.h"
#include "page/series_page.h"
#include "presenter/analysis_view.h"

namespace ceph::presenter {

namespace {

constexpr float kPad = 240;

std::string TracingName(int index) {
    return "第 " + std::to_string(index + 1) + " 張";
}

void DrawOverlay(ui::FollowUpWindow& f) {
    ui::DrawingList& d = f.Overlay.drawing;
    d.Clear();
    std::size_t reference = 0;
    const std::vector<page::SeriesEntry> series = ChosenSeries(f.state, reference);
    if (series.empty()) {
        d.Add<ui::DrawText>(10.0f, kPad, kPad, std::string("請勾選要比較的描圖"),
                            kSystemWindowText);
        return;
    }
    page::DrawSeriesOverlay(d, {0, 0, f.Overlay.width, f.Overlay.height}, series, reference,
                            f.state.registration, true, 9);
}

ui::TableCell Cell(std::string text) {
    ui::TableCell cell;
    cell.text = std::move(text);
    return cell;
}

// The tracings chosen, by index, in their order.
std::vector<int> Chosen(const ui::FollowUpState& s) {
    std::vector<int> chosen;
    for (int i = 0; i < ui::kSeriesSlots; ++i)
        if (s.chosen[static_cast<std::size_t>(i)] && s.tracings[static_cast<std::size_t>(i)])
            chosen.push_back(i);
    return chosen;
}

// One tracing's results: the 37 rows, then the named analysis's when one is chosen; by
// the norms of its age and the patient's sex.
struct TracingResults {
    model::AnalysisResult standard, named;
};

TracingResults ResultsOf(const ui::FollowUpState& s, const model::Tracing& t) {
    TracingResults r;
    r.standard = model::Evaluate(model::BuiltInAnalyses().front(), t.X, t.Y, {"", s.sex, t.age});
    if (const model::NamedAnalysis* named = s.Named())
        r.named = model::Evaluate(*named, t.X, t.Y, {s.normSet, s.sex, t.age});
    return r;
}

// The change columns: from the reference to the last chosen other tracing, whose results
// are `a` and `b`.
void AddChanges(ui::Table& t, const ui::FollowUpState& s, int ref, int last,
                const model::AnalysisResult& a, const model::AnalysisResult& b) {
    const model::Tracing& from = *s.tracings[static_cast<std::size_t>(ref)];
    const model::Tracing& to = *s.tracings[static_cast<std::size_t>(last)];
    t.columns.push_back("變化\n" + std::to_string(ref + 1) + "→" + std::to_string(last + 1));
    t.columns.push_back("每年");
    const auto changes = model::RowChanges(from, to);
    for (std::size_t r = 0; r < changes.size(); ++r) {
        t.rows[r].push_back(Cell(changes[r].total));
        t.rows[r].push_back(Cell(changes[r].perYear));
    }
    if (!s.Named()) return;
    t.rows[model::kRows].resize(t.columns.size());
    for (std::size_t r = 0; r < a.rows.size(); ++r) {
        const model::ChangeTexts c =
            model::ChangeTextsBetween(a.rows[r].value, b.rows[r].value, a.rows[r].decimals,
                                      model::AgeInYears(from.age), model::AgeInYears(to.age));
        t.rows[model::kRows + 1 + r].push_back(Cell(c.total));
        t.rows[model::kRows + 1 + r].push_back(Cell(c.perYear));
    }
}

// The rows' captions: the 37, then the named analysis's under its name.
void TableRows(ui::Table& t, const model::NamedAnalysis* named) {
    t.rows.assign(model::kRows, {});
    for (int row = 0; row < model::kRows; ++row)
        t.rows[static_cast<std::size_t>(row)].push_back(Cell(model::Row(row).caption));
    if (!named) return;
    ui::TableCell heading = Cell(named->name);
    heading.bold = true;
    t.rows.push_back({heading});
    for (const model::ClassicMeasurement& m : named->rows)
        t.rows.push_back({Cell(model::NameWithUnit(m.name, m.unit))});
}

// One tracing's column: the 37 values as the report prints them and the named
// analysis's, each flagged as in the analysis window.
void AddTracingColumn(ui::Table& t, const ui::FollowUpState& s, const model::Tracing& tracing,
                      const TracingResults& results) {
    const model::AnalysisTexts texts =
        model::ToTexts(model::ComputeValues(tracing.X, tracing.Y), 0);
    for (std::size_t row = 0; row < model::kRows; ++row)
        t.rows[row].push_back(FlaggedValue(texts.values[row], results.standard.rows[row].flag));
    if (!s.Named()) return;
    t.rows[model::kRows].emplace_back();
    for (std::size_t r = 0; r < results.named.rows.size(); ++r) {
        const model::ResultRow& row = results.named.rows[r];
        t.rows[model::kRows + 1 + r].push_back(
            FlaggedValue(model::ShownNumber(row.value, row.decimals), row.flag));
    }
}

void ShowValues(ui::FollowUpWindow& f) {
    const ui::FollowUpState& s = f.state;
    ui::Table& t = f.ValueTable;
    t.columns = {"項目"};
    TableRows(t, s.Named());
    const std::vector<int> chosen = Chosen(s);
    std::string unread;
    std::array<TracingResults, ui::kSeriesSlots> results;
    for (const int i : chosen) {
        const model::Tracing& tracing = *s.tracings[static_cast<std::size_t>(i)];
        t.columns.push_back(TracingName(i) + "\n" + tracing.age);
        results[static_cast<std::size_t>(i)] = ResultsOf(s, tracing);
        AddTracingColumn(t, s, tracing, results[static_cast<std::size_t>(i)]);
        if (!model::AgeInYears(tracing.age))
            unread += (unread.empty() ? "" : "、") + TracingName(i) + "「" + tracing.age + "」";
    }
    const int ref = s.Reference();
    int last = -1;
    for (const int i : chosen)
        if (i != ref) last = i;
    if (ref >= 0 && last >= 0)
        AddChanges(t, s, ref, last, results[static_cast<std::size_t>(ref)].named,
                   results[static_cast<std::size_t>(last)].named);
    f.LabelAges.caption = unread.empty()
                              ? std::string()
                              : "年齡讀不出（須如 12Y 3M）：" + unread + "，沒有每年的變化。";
}

// Where the growth curve draws: ages across, values up, inside the panel's margins.
struct Plot {
    float left, top, width, height;
    double age0, age1, value0, value1;
    float X(double age) const {
        return left + static_cast<float>((age - age0) / (age1 - age0)) * width;
    }
    float Y(double value) const {
        return top + height - static_cast<float>((value - value0) / (value1 - value0)) * height;
    }
};

struct CurvePoint {
    int index;
    double age, value;
};

// What the growth curve follows: one of the 37 rows (their norms by the group of the age
// band), or one of the chosen analysis's (its norms for the age, in its norm set).
struct CurveRow {
    std::string title;
    int decimals = 1;
    std::function<double(const model::Tracing&)> value;
    std::function<std::optional<model::MeanSd>(double age)> norm;
};

CurveRow StandardCurve(int row, bool male) {
    const model::Measurement& spec = model::Row(row);
    CurveRow c;
    c.title = spec.caption;
    if (spec.unit != model::Unit::None)
        c.title += " (" + std::string(model::UnitText(spec.unit)) + ")";
    c.decimals = spec.decimals;
    c.value = [row](const model::Tracing& t) {
        return model::ComputeValues(t.X, t.Y).rows[static_cast<std::size_t>(row)];
    };
    c.norm = [key = std::string(spec.key), male](double age) {
        int band = 0;
        while (band + 1 < model::kAgeBands && age >= model::kBandOldest[band])
            ++band;
        return model::GroupNorm(key, (band + 1) * 10 + (male ? 1 : 0));
    };
    return c;
}

CurveRow NamedCurve(const ui::FollowUpState& s, const model::NamedAnalysis& named, int row,
                    const model::Tracing& any) {
    const auto r = static_cast<std::size_t>(row);
    const model::ClassicMeasurement& m = named.rows[r];
    CurveRow c;
    c.title = named.name + "  " + model::NameWithUnit(m.name, m.unit);
    c.decimals = m.decimals;
    c.value = [&s, &named, r](const model::Tracing& t) {
        return model::Evaluate(named, t.X, t.Y, {s.normSet, s.sex, t.age}).rows[r].value;
    };
    // The analysis's norm for an age is the one it gives a tracing of that age.
    c.norm = [&s, &named, r, &any](double age) -> std::optional<model::MeanSd> {
        const int years = static_cast<int>(age), months = static_cast<int>((age - years) * 12);
        const std::string text = std::to_string(years) + "Y " + std::to_string(months) + "M";
        const model::AnalysisResult result =
            model::Evaluate(named, any.X, any.Y, {s.normSet, s.sex, text});
        const std::optional<model::Norm>& norm = result.rows[r].norm;
        if (!norm) return std::nullopt;
        return model::MeanSd{norm->mean, norm->sd};
    };
    return c;
}

std::vector<CurvePoint> CurvePoints(const ui::FollowUpState& s, const CurveRow& row) {
    std::vector<CurvePoint> points;
    for (const int i : Chosen(s)) {
        const model::Tracing& t = *s.tracings[static_cast<std::size_t>(i)];
        const auto age = model::AgeInYears(t.age);
        const double v = row.value(t);
        if (age && std::isfinite(v)) points.push_back({i, *age, v});
    }
    std::sort(points.begin(), points.end(),
              [](const CurvePoint& a, const CurvePoint& b) { return a.age < b.age; });
    return points;
}

// Calls `each` with every stretch of the plotted ages over which the norm stays the
// same, and that norm; none where there is no norm. Norms change with age bands of whole
// years, so a year's norm is the one at its middle.
template <typename Each>
void ForEachNormStretch(const Plot& p, const CurveRow& row, Each each) {
    std::optional<model::MeanSd> held;
    double start = p.age0;
    const auto same = [](const std::optional<model::MeanSd>& a,
                         const std::optional<model::MeanSd>& b) {
        return a.has_value() == b.has_value() && (!a || (a->mean == b->mean && a->sd == b->sd));
    };
    for (double year = std::floor(p.age0); year < p.age1; year += 1) {
        const std::optional<model::MeanSd> norm = row.norm(year + 0.5);
        if (same(norm, held)) continue;
        const double from = std::max(year, p.age0);
        if (held && from > start) each(start, from, *held);
        held = norm, start = from;
    }
    if (held && p.age1 > start) each(start, p.age1, *held);
}

// The norm of each stretch of the plotted ages, as its mean and mean ± SD.
void DrawNormBands(ui::DrawingList& d, const Plot& p, const CurveRow& row) {
    const Colour grey = Bgr(170, 170, 170);
    ForEachNormStretch(p, row, [&](double from, double to, const model::MeanSd& norm) {
        for (const double v : {norm.mean - norm.sd, norm.mean, norm.mean + norm.sd})
            d.Add<ui::DrawLine>(p.X(from), p.Y(v), p.X(to), p.Y(v), grey, v == norm.mean ? 1 : 3);
    });
}

// The value range of the points and of the norms of the ages shown, with room around it.
void ValueRange(const std::vector<CurvePoint>& points, const CurveRow& row, Plot& p) {
    double& low = p.value0;
    double& high = p.value1;
    low = high = points.front().value;
    for (const CurvePoint& c : points)
        low = std::min(low, c.value), high = std::max(high, c.value);
    ForEachNormStretch(p, row, [&](double, double, const model::MeanSd& norm) {
        low = std::min(low, norm.mean - norm.sd);
        high = std::max(high, norm.mean + norm.sd);
    });
    const double room = std::max(1.0, (high - low) * 0.1);
    low -= room, high += room;
}

void DrawCurve(ui::FollowUpWindow& f) {
    ui::DrawingList& d = f.Curve.drawing;
    d.Clear();
    const ui::FollowUpState& s = f.state;
    const int ref = s.Reference();
    if (ref < 0) return;
    const model::NamedAnalysis* named = s.Named();
    const CurveRow row =
        s.curveRow < model::kRows || !named
            ? StandardCurve(std::min(s.curveRow, model::kRows - 1), model::IsMale(s.sex))
            : NamedCurve(s, *named, s.curveRow - model::kRows,
                         *s.tracings[static_cast<std::size_t>(ref)]);
    const std::string& title = row.title;
    const std::vector<CurvePoint> points = CurvePoints(s, row);
    if (points.empty()) {
        d.Add<ui::DrawText>(9.0f, kPad, 60.0f, title + "：沒有可讀出年齡的描圖", kSystemWindowText);
        return;
    }
    Plot p{1100,
           420,
           f.Curve.width - 1500,
           f.Curve.height - 900,
           std::floor(points.front().age) - 1,
           std::floor(points.back().age) + 2,
           0,
           1};
    ValueRange(points, row, p);
    d.Add<ui::DrawText>(9.0f, kPad, 60.0f, title, kSystemWindowText);
    const Colour axis = kSystemWindowText;
    d.Add<ui::DrawLine>(p.left, p.top + p.height, p.left + p.width, p.top + p.height, axis, 1);
    d.Add<ui::DrawLine>(p.left, p.top, p.left, p.top + p.height, axis, 1);
    for (double age = p.age0; age <= p.age1; age += 1) {
        d.Add<ui::DrawLine>(p.X(age), p.top + p.height, p.X(age), p.top + p.height + 60, axis, 1);
        d.Add<ui::DrawText>(8.0f, p.X(age) - 80, p.top + p.height + 80, Format0(age) + "Y", axis);
    }
    for (const double v : {p.value0, p.value1})
        d.Add<ui::DrawText>(8.0f, 120.0f, p.Y(v) - 100, FormatFixed(v, row.decimals), axis);
    DrawNormBands(d, p, row);
    for (std::size_t k = 0; k < points.size(); ++k) {
        const CurvePoint& c = points[k];
        if (k > 0) {
            const CurvePoint& b = points[k - 1];
            d.Add<ui::DrawLine>(p.X(b.age), p.Y(b.value), p.X(c.age), p.Y(c.value), axis, 1);
        }
        d.Add<ui::DrawCircle>(p.X(c.age), p.Y(c.value), 70.0f, page::SeriesColour(c.index + 1));
    }
}

}  // namespace

std::vector<page::SeriesEntry> ChosenSeries(const ui::FollowUpState& s, std::size_t& reference) {
    std::vector<page::SeriesEntry> series;
    reference = 0;
    for (int i = 0; i < ui::kSeriesSlots; ++i) {
        const auto& t = s.tracings[static_cast<std::size_t>(i)];
        if (!t || !s.chosen[static_cast<std::size_t>(i)]) continue;
        if (i == s.Reference()) reference = series.size();
        series.push_back({i + 1, *t});
    }
    return series;
}

void ShowFollowUp(ui::FollowUpWindow& f) {
    const ui::FollowUpState& s = f.state;
    f.RefList.items.clear();
    f.RefList.listIndex = -1;
    for (int i = 0; i < ui::kSeriesSlots; ++i) {
        ui::CheckBox& box = f.CheckTrace[static_cast<std::size_t>(i)];
        const auto& t = s.tracings[static_cast<std::size_t>(i)];
        box.visible = t.has_value();
        if (!t) continue;
        box.caption = TracingName(i) + "  " + t->age;
        box.value = s.chosen[static_cast<std::size_t>(i)] ? 1 : 0;
        if (!s.chosen[static_cast<std::size_t>(i)]) continue;
        if (i == s.Reference()) f.RefList.listIndex = static_cast<int>(f.RefList.items.size());
        f.RefList.items.push_back(TracingName(i));
    }
    f.RegList.items.clear();
    for (const model::Registration r : model::kRegistrations)
        f.RegList.items.push_back(model::Info(r).caption);
    f.RegList.listIndex = static_cast<int>(s.registration);
    DrawOverlay(f);
    f.AnaList.items.clear();
    for (const model::NamedAnalysis& a : s.analyses)
        f.AnaList.items.push_back(a.name);
    f.AnaList.listIndex = s.analysis;
    ShowValues(f);
    f.CurveList.items.clear();
    for (int row = 0; row < model::kRows; ++row)
        f.CurveList.items.push_back(model::Row(row).caption);
    if (const model::NamedAnalysis* named = s.Named())
        for (const model::ClassicMeasurement& m : named->rows)
            f.CurveList.items.push_back(named->name + "  " + m.name);
    f.CurveList.listIndex = s.curveRow;
    DrawCurve(f);
}

}  // namespace ceph::presenter
