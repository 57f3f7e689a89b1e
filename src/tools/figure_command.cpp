#include "tools/figure_command.h"

#include <charconv>
#include <iostream>
#include <limits>

#include "base/safe_file.h"
#include "model/figure_movement.h"
#include "model/numbers.h"
#include "store/record_line.h"

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
std::string LineElement(const std::string& attributes, const model::FigureLine& l, bool dotted) {
    std::string e = "  <line" + attributes + " x1=\"" + Num(l.x1) + "\" y1=\"" + Num(l.y1) +
                    "\" x2=\"" + Num(l.x2) + "\" y2=\"" + Num(l.y2) + "\" stroke=\"" +
                    Hex(l.colour) + "\" stroke-width=\"" + std::to_string(l.width) + "\"";
    if (dotted) e += " stroke-dasharray=\"1 2\"";
    return e + " vector-effect=\"non-scaling-stroke\"/>\n";
}

// The visible lines of one group, each named for what it draws and its place in the group:
// "profile-3" is the profile's fourth segment.
template <std::size_t N>
std::string Lines(const std::string& name, const std::array<model::FigureLine, N>& lines) {
    std::string out;
    for (std::size_t k = 0; k < N; ++k) {
        const model::FigureLine& l = lines[k];
        if (!l.visible) continue;
        const std::string id = " id=\"" + name + "-" + std::to_string(k) + "\"";
        out += LineElement(id, l, l.dotted && l.width <= 1);
    }
    return out;
}

constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
constexpr OptionRule kOptions[] = {
    {.name = "--data", .required = true},
    {.name = "--handoff", .required = true},
    {.name = "--tracing", .kind = OptionRule::Number, .min = 1, .max = 9, .required = true},
    {.name = "--out", .required = true},
    {.name = "--picture"},
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

model::Figure BuildFigure(const model::Tracing& tracing, const std::vector<FigureStep>& steps) {
    model::Figure figure = model::FigureOf(tracing);
    for (const FigureStep& step : steps) {
        switch (step.kind) {
            case FigureStep::Select:
                model::Select(figure, step.amount);
                break;
            case FigureStep::Turn:
                model::MoveStructure(figure, step.amount, 0, 0);
                break;
            case FigureStep::ShiftX:
                model::MoveStructure(figure, 0, step.amount, 0);
                break;
            case FigureStep::ShiftY:
                model::MoveStructure(figure, 0, 0, step.amount);
                break;
        }
    }
    return figure;
}

std::string FigureTitle(const StoredTracing& stored) {
    return stored.patient.code + " " + stored.patient.name + " P." + std::to_string(stored.number) +
           " " + stored.tracing.age;
}

std::string FigureSvg(const model::Figure& figure, const std::string& title) {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
           Num(figure.width / 1440) + "in\" height=\"" + Num(figure.height / 1440) +
           "in\" viewBox=\"0 0 " + Num(figure.width) + " " + Num(figure.height) + "\">\n";
    svg += "  <title>" + Escaped(title) + "</title>\n";
    svg += "  <rect x=\"0\" y=\"0\" width=\"" + Num(figure.width) + "\" height=\"" +
           Num(figure.height) + "\" fill=\"" + Hex(figure.background) + "\"/>\n";
    svg += " <g id=\"landmark-pairs\">\n";
    for (const model::FigureLine& l : figure.pairLines)
        svg += LineElement("", l, false);
    svg += " </g>\n";
    // The profile's controls come before the bones' in the window, and so here.
    svg += Lines("profile", figure.profile);
    svg += Lines("hard-tissue", figure.hardTissue);
    return svg + "</svg>\n";
}

const CommandRules kFigureRules{
    .command = "figure",
    .synopsis =
        "cephtool figure --data DIR --handoff FILE --tracing N [--select S]\n"
        "                [--turn DEG | --shift-x TWIPS | --shift-y TWIPS]...\n"
        "                [--picture FILE] --out FILE.svg|FILE.png\n",
    .details =
        "  S is the structure 0..8 (Upper Incisor, Lower Incisor, Occlusal plane,\n"
        "  Alveolar bone, Mandibular bone, Nose, Upper lip, Lower lip, Chin); steps\n"
        "  apply in the order given, each movement as one click\n"
        "  --picture FILE: the radiograph under the figure (PNG output only), aligned\n"
        "  by the tracing's figure fields; any picture the window reads (BMP, JPEG,\n"
        "  PNG, TIFF, DICOM)\n",
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
    const std::string picture = line.Text("--picture");
    if (svg && !picture.empty())
        return UsageFault(kFigureRules, "--picture: the radiograph is drawn into a .png only",
                          std::cerr);
    if (!svg && !pngWriter) {
        std::cerr << "cephtool: this build writes the figure as SVG only\n";
        return 2;
    }

    const TracingSource source{line.Text("--data"), line.Text("--handoff"),
                               line.Number("--tracing")};
    const base::Result<StoredTracing> stored = ReadStoredTracing(source);
    if (!stored) {
        std::cerr << "cephtool: " << stored.why().detail << "\n";
        return 1;
    }
    const model::Figure figure = BuildFigure(stored->tracing, Steps(line));
    // Where the figure panel puts the radiograph for this tracing.
    const model::FigureAlignment shown = model::ShownAlignment(stored->tracing.figure);
    const model::FigureRadiograph under{picture, static_cast<float>(shown.left.Value()),
                                        static_cast<float>(shown.top.Value()),
                                        static_cast<float>(shown.scale.Value())};
    const base::Result<void> written =
        svg ? base::FromSystem(
                  out, base::WriteFileAtomically(out, FigureSvg(figure, FigureTitle(*stored))))
            : pngWriter(figure, picture.empty() ? nullptr : &under, out);
    if (!written && written.why().file == picture) {
        std::cerr << "cephtool: cannot read " << picture << ": " << written.why().detail << "\n";
        return 1;
    }
    if (!written) {
        std::cerr << "cephtool: cannot write " << out << ": " << written.why().error.message()
                  << "\n";
        return 1;
    }
    return 0;
}

}  // namespace ceph::tools
