#include "tools/figure_command.h"

#include <charconv>
#include <iostream>
#include <limits>
#include <variant>

#include "base/safe_file.h"
#include "figure/figure.h"
#include "figure/movement.h"
#include "records/profile.h"
#include "report/output.h"
#include "tools/stored_tracing.h"

namespace ceph::tools {

namespace {

// The shortest text that reads back as the same single-precision number.
std::string Num(float v) {
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string Hex(Colour c) {
    static const char* digits = "0123456789abcdef";
    std::string out = "#";
    for (int part : {RedOf(c), GreenOf(c), BlueOf(c)}) {
        out += digits[part >> 4];
        out += digits[part & 15];
    }
    return out;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Strokes keep their width in screen pixels however the drawing is scaled, as the
// window draws them; a thin line control is dotted.
std::string LineElement(const std::string& attributes, float x1, float y1, float x2, float y2,
                        Colour colour, int width, bool dotted) {
    std::string e = "  <line" + attributes + " x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) +
                    "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) + "\" stroke=\"" + Hex(colour) +
                    "\" stroke-width=\"" + std::to_string(width) + "\"";
    if (dotted) e += " stroke-dasharray=\"1 2\"";
    return e + " vector-effect=\"non-scaling-stroke\"/>\n";
}

constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--handoff", .required = true},
    {.name = "--tracing", .kind = OptionRule::Number, .min = 1, .max = 9, .required = true},
    {.name = "--out", .required = true},
    // The steps, applied in the order given.
    {.name = "--select", .kind = OptionRule::Number, .min = 0, .max = 8, .repeats = true},
    {.name = "--turn", .kind = OptionRule::Number, .min = kMin, .max = kMax, .repeats = true},
    {.name = "--shift-x", .kind = OptionRule::Number, .min = kMin, .max = kMax, .repeats = true},
    {.name = "--shift-y", .kind = OptionRule::Number, .min = kMin, .max = kMax, .repeats = true},
};

std::vector<FigureStep> Steps(const CommandLine& line) {
    std::vector<FigureStep> steps;
    for (const GivenOption& g : line.given) {
        if (g.name == "--select")
            steps.push_back({FigureStep::Select, g.number});
        else if (g.name == "--turn")
            steps.push_back({FigureStep::Turn, g.number});
        else if (g.name == "--shift-x")
            steps.push_back({FigureStep::ShiftX, g.number});
        else if (g.name == "--shift-y")
            steps.push_back({FigureStep::ShiftY, g.number});
    }
    return steps;
}

}  // namespace

void BuildFigure(ui::MainWindow& w, const std::vector<FigureStep>& steps) {
    w.Picture8.foreColor = kBlue;
    report::DrawFigurePairLines(w, 30, 800, 600);
    records::BuildProfile(w.state);
    figure::SetUpFigure(w);
    for (const FigureStep& step : steps) {
        switch (step.kind) {
            case FigureStep::Select:
                w.List1.listIndex = step.amount;
                figure::List1_Click(w);
                break;
            case FigureStep::Turn:
                figure::MoveStructure(w, step.amount, 0, 0);
                break;
            case FigureStep::ShiftX:
                figure::MoveStructure(w, 0, step.amount, 0);
                break;
            case FigureStep::ShiftY:
                figure::MoveStructure(w, 0, 0, step.amount);
                break;
        }
    }
}

std::string FigureSvg(const ui::MainWindow& w) {
    const ui::PictureBox& panel = w.Picture8;
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(panel.width / 1440) + "in\" height=\"" + Num(panel.height / 1440) +
           "in\" viewBox=\"0 0 " + Num(panel.width) + " " + Num(panel.height) + "\">\n";
    svg += "  <title>" +
           Escaped(w.Label0.caption + " " + w.Label1.caption + " " + w.Label2.caption + " " +
                   w.Label13.caption) +
           "</title>\n";
    svg += "  <rect x=\"0\" y=\"0\" width=\"" + Num(panel.width) + "\" height=\"" +
           Num(panel.height) + "\" fill=\"" + Hex(panel.backColor) + "\"/>\n";
    svg += " <g id=\"Picture8-drawing\">\n";
    for (const ui::DrawOp& op : panel.drawing.ops) {
        if (const auto* l = std::get_if<ui::DrawLine>(&op))
            svg += LineElement("", l->x1, l->y1, l->x2, l->y2, l->colour, l->width, false);
    }
    svg += " </g>\n";
    for (const ui::ControlRef& ref : w.Controls()) {
        if (ref.kind != ui::Kind::Line || !ref.control->visible) continue;
        const auto& l = static_cast<const ui::Line&>(*ref.control);
        const std::string id = " id=\"" + l.name + "-" + std::to_string(l.index) + "\"";
        svg += LineElement(id, l.x1, l.y1, l.x2, l.y2, l.borderColor, l.borderWidth,
                           l.dotted && l.borderWidth <= 1);
    }
    return svg + "</svg>\n";
}

const CommandRules kFigureRules{
    .command = "figure",
    .synopsis =
        "cephtool figure --data DIR --handoff FILE --tracing N [--select S]\n"
        "                [--turn DEG | --shift-x TWIPS | --shift-y TWIPS]...\n"
        "                --out FILE.svg|FILE.png\n",
    .details =
        "  S is the structure 0..8 (Upper Incisor, Lower Incisor, Occlusal plane,\n"
        "  Alveolar bone, Mandibular bone, Nose, Upper lip, Lower lip, Chin); steps\n"
        "  apply in the order given, each movement as one click\n",
    .options = kOptions,
};

int RunFigure(int argc, char** argv, PngWriter pngWriter) {
    CommandLine line;
    if (auto status = ReadCommandLine(kFigureRules, argc, argv, line, std::cout, std::cerr))
        return *status;
    const std::string out = line.Text("--out");
    const bool svg = EndsWithNoCase(out, ".svg");
    if (!svg && !EndsWithNoCase(out, ".png"))
        return UsageFault(kFigureRules, "--out " + out + ": not a .svg or .png file", std::cerr);
    if (!svg && !pngWriter) {
        std::cerr << "cephtool: this build writes the figure as SVG only\n";
        return 2;
    }

    const TracingSource source{line.Text("--data"), line.Text("--handoff"),
                               line.Number("--tracing")};
    ui::MainWindow win;
    if (!LoadStoredTracing(win, source, std::cerr)) return 1;
    BuildFigure(win, Steps(line));
    std::string error;
    if (svg) {
        if (std::error_code ec = base::WriteFileAtomically(out, FigureSvg(win)))
            error = ec.message();
    } else {
        pngWriter(win, out, error);
    }
    if (!error.empty()) {
        std::cerr << "cephtool: cannot write " << out << ": " << error << "\n";
        return 1;
    }
    return 0;
}

}  // namespace ceph::tools
