// Opening a radiograph until it shows must cost little more than decoding it: this
// program writes a grey 3000 x 3000 radiograph as two JPEGs of quality 90, one with a
// single grey channel ("grey") and one in colour coding (YCbCr 4:2:0, "ycc", as
// scanners and many X-ray systems store grey pictures), then times in one run, for each:
//
//   djpeg/F            libjpeg-turbo's djpeg decoding the file to /dev/null, the reference;
//   LoadUntilShown/F   PictureStore::Load of the file and the first paint of the image
//                      control's viewport at zoom 1, through the control's own routine;
//   QtPlugin/F         the same with Qt's JPEG plugin in place of the store (not checked);
//   djpeg_start        djpeg on an 8 x 8 JPEG: what starting the djpeg process costs.
//
// Exits with 1 when LoadUntilShown takes more than --max_ratio (default 1.3) times djpeg
// less its process start (the stricter of the two ratios printed).
//
//   picture_load_bench [--max_ratio=1.3] [--jpeg=FILE] [--fresh_memory] [benchmark flags]
//
// --jpeg times a given file alone, in place of the two written ones. --fresh_memory
// makes every large block come fresh from the kernel: the repeated loads otherwise reuse
// the blocks of the previous one, which the program's first load of a session cannot.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "picture_gen.h"
#include "platform/jpeg_writer.h"
#include "platform/pictures.h"

extern char** environ;

namespace {

using ceph::bench::kViewportSide;

constexpr const char* kDjpegStart = "djpeg_start";

struct Options {
    std::string jpeg;  // empty: the synthetic radiograph
    double maxRatio = 1.3;
    bool freshMemory = false;
};

Options TakeOptions(int& argc, char** argv) {
    Options options;
    ceph::bench::TakeFlag(argc, argv, "jpeg", &options.jpeg);
    options.freshMemory = ceph::bench::TakeFlag(argc, argv, "fresh_memory");
    options.maxRatio = ceph::bench::TakeNumber(argc, argv, "max_ratio", options.maxRatio);
    return options;
}

void Djpeg(const std::string& path) {
    std::string command = "djpeg", out = "-outfile", null = "/dev/null", file = path;
    char* args[] = {command.data(), out.data(), null.data(), file.data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("djpeg could not decode " + path +
                                 " (install libjpeg-turbo-progs)");
}

// The first paint of the image control at zoom 1: the viewport's worth of the picture
// on a surface of the screen's format.
void PaintViewport(const QImage& picture) {
    QImage screen(kViewportSide, kViewportSide, QImage::Format_RGB32);
    QPainter painter(&screen);
    ceph::platform::PaintPicturePart(painter, picture, picture.size(), true,
                                     QRect(0, 0, kViewportSide, kViewportSide));
}

void LoadUntilShown(const std::string& path) {
    ceph::platform::PictureStore store;
    const auto ref = store.Load(path);
    if (!ref) throw std::runtime_error(ref.why().detail);
    PaintViewport(store.Get(*ref));
}

void LoadWithQt(const std::string& path) {
    QImageReader reader(QString::fromStdString(path));
    const QImage image = reader.read();
    if (image.isNull()) throw std::runtime_error("Qt cannot read " + path);
    PaintViewport(image);
}

struct Case {
    std::string label;  // "grey", "ycc" or "file"
    std::string path;
};

// The ratio of one case; whether it is within the limit.
bool Compare(const std::map<std::string, double>& medians, const Case& c, double startMs,
             double maxRatio) {
    const auto djpeg = medians.find("djpeg/" + c.label),
               load = medians.find("LoadUntilShown/" + c.label),
               qt = medians.find("QtPlugin/" + c.label);
    if (djpeg == medians.end() || load == medians.end()) return true;
    const double ratio = load->second / djpeg->second;
    const double net = load->second / (djpeg->second - startMs);
    std::printf("\n%s:\n  median of djpeg:               %8.2f ms\n", c.label.c_str(),
                djpeg->second);
    if (qt != medians.end())
        std::printf("  median of Qt's plugin + paint: %8.2f ms  ratio %.2f (not checked)\n",
                    qt->second, qt->second / djpeg->second);
    std::printf(
        "  median of load until shown:    %8.2f ms  ratio %.2f, %.2f to djpeg's decoding"
        " alone (limit %.2f)%s\n",
        load->second, ratio, net, maxRatio, net > maxRatio ? "  TOO SLOW" : "");
    return net <= maxRatio;
}

// The written radiographs, or the given file alone.
std::vector<Case> WriteCases(const Options& options, const QTemporaryDir& scratch) {
    if (!options.jpeg.empty()) return {{"file", options.jpeg}};
    std::vector<Case> cases;
    cases.push_back({"grey", scratch.filePath(QStringLiteral("grey.jpg")).toStdString()});
    ceph::bench::WriteSyntheticRadiograph(cases.back().path, 90);
    // Qt's writer codes every 32-bit picture in colour, grey ones too.
    cases.push_back({"ycc", scratch.filePath(QStringLiteral("ycc.jpg")).toStdString()});
    if (!ceph::bench::SyntheticRadiograph()
             .convertToFormat(QImage::Format_RGB32)
             .save(QString::fromStdString(cases.back().path), "JPG", 90))
        throw std::runtime_error("cannot write " + cases.back().path);
    return cases;
}

// `tiny`: a JPEG as small as can be, for djpeg's process start.
void RegisterBenchmarks(const std::vector<Case>& cases, const std::string& tiny) {
    auto timed = [](const std::string& name, auto work) {
        benchmark::RegisterBenchmark(name.c_str(),
                                     [work](benchmark::State& state) {
                                         for (auto _ : state)
                                             work();
                                     })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    };
    for (const Case& c : cases) {
        std::printf("%s: %s, %.2f MB\n", c.label.c_str(), c.path.c_str(),
                    static_cast<double>(std::filesystem::file_size(c.path)) / 1e6);
        // Every measurement reads the file from the page cache, and a failure shows here.
        Djpeg(c.path);
        LoadUntilShown(c.path);
        const std::string path = c.path;
        timed("djpeg/" + c.label, [path] { Djpeg(path); });
        timed("LoadUntilShown/" + c.label, [path] { LoadUntilShown(path); });
        timed("QtPlugin/" + c.label, [path] { LoadWithQt(path); });
    }
    timed(kDjpegStart, [tiny] { Djpeg(tiny); });
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Options options = TakeOptions(argc, argv);
    // Large blocks straight from the kernel and back at every load, as the program's
    // first loads get them: the first touch of their pages is then part of the time.
    if (options.freshMemory) mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QGuiApplication app(argc, argv);
    QTemporaryDir scratch;
    int result = 0;
    try {
        const std::vector<Case> cases = WriteCases(options, scratch);
        const std::string tiny = scratch.filePath(QStringLiteral("tiny.jpg")).toStdString();
        if (!ceph::platform::SaveJpeg(ceph::bench::SyntheticRadiograph(8), tiny, 90))
            throw std::runtime_error("cannot write " + tiny);
        RegisterBenchmarks(cases, tiny);

        const auto medians = ceph::bench::RunBenchmarks(argc, argv);
        if (!medians) return 2;
        const auto start = medians->ms.find(kDjpegStart);
        const double startMs = start == medians->ms.end() ? 0 : start->second;
        std::printf("\nmedian of djpeg_start (process start): %.2f ms\n", startMs);
        for (const Case& c : cases)
            if (!Compare(medians->ms, c, startMs, options.maxRatio)) result = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        result = 2;
    }
    return result;
}
