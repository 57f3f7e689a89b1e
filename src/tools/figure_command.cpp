#include "tools/figure_command.h"

#include <charconv>
#include <iostream>
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

int Usage() {
    std::cerr << "usage: cephtool figure --data DIR --handoff FILE --tracing N [--select S]\n"
                 "         [--turn DEG | --shift-x TWIPS | --shift-y TWIPS]... --out "
                 "FILE.svg|FILE.png\n"
                 "  S is the structure 0..8 (Upper Incisor, Lower Incisor, Occlusal plane,\n"
                 "  Alveolar bone, Mandibular bone, Nose, Upper lip, Lower lip, Chin); steps\n"
                 "  apply in the order given, each movement as one click\n";
    return 2;
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

int RunFigure(int argc, char** argv, PngWriter pngWriter) {
    TracingSource source;
    std::string out;
    std::vector<FigureStep> steps;
    for (int i = 0; i + 1 < argc; i += 2) {
        const std::string key = argv[i], value = argv[i + 1];
        int number = 0;
        const bool isNumber = ParseInt(value, number);
        if (key == "--data") {
            source.data = value;
        } else if (key == "--handoff") {
            source.handoff = value;
        } else if (key == "--out") {
            out = value;
        } else if (key == "--tracing" && isNumber) {
            source.tracing = number;
        } else if (key == "--select" && isNumber && number >= 0 && number <= 8) {
            steps.push_back({FigureStep::Select, number});
        } else if (key == "--turn" && isNumber) {
            steps.push_back({FigureStep::Turn, number});
        } else if (key == "--shift-x" && isNumber) {
            steps.push_back({FigureStep::ShiftX, number});
        } else if (key == "--shift-y" && isNumber) {
            steps.push_back({FigureStep::ShiftY, number});
        } else {
            return Usage();
        }
    }
    const bool svg = EndsWithNoCase(out, ".svg");
    if (argc % 2 != 0 || source.data.empty() || source.handoff.empty() || source.tracing < 1 ||
        source.tracing > 9 || (!svg && !EndsWithNoCase(out, ".png")))
        return Usage();
    if (!svg && !pngWriter) {
        std::cerr << "cephtool: this build writes the figure as SVG only\n";
        return 2;
    }

    ui::MainWindow win;
    if (!LoadStoredTracing(win, source, std::cerr)) return 1;
    BuildFigure(win, steps);
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
