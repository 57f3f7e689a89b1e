// Opening a DICOM radiograph must cost little more than GDCM's own decoding: this
// program makes a 3000 x 3000 16-bit DX file compressed with JPEG 2000 (lossless) from
// the demo radiograph, enlarged and spread over 16 bits, then times in one run:
//
//   gdcmconv     GDCM's gdcmconv --raw decoding the file into an uncompressed one, the
//                reference;
//   ProgramLoad  PictureStore::Load of the file (the structure checked, the pixels
//                decoded into their 16-bit levels, the histogram's window) and the
//                8-bit picture the screen is given through the window;
//   Histogram    the histogram's window alone, computed for every grey picture loaded.
//
// Exits with 1 when ProgramLoad takes more than --max_ratio (default 1.5) times gdcmconv,
// or the histogram's window more than --max_histogram_ms (default 10).
//
//   dicom_open_bench [--max_ratio=1.5] [--max_histogram_ms=10] [--dicom=FILE]
//                    [benchmark flags]
//
// --dicom times a given file in place of the written one.

#include <benchmark/benchmark.h>
#include <gdcmImageChangeTransferSyntax.h>
#include <gdcmImageWriter.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "platform/picture_levels.h"
#include "platform/pictures.h"

extern char** environ;

namespace {

constexpr int kSide = 3000;

void Gdcmconv(const std::string& in, const std::string& out) {
    std::string command = "gdcmconv", raw = "--raw", from = in, to = out;
    char* args[] = {command.data(), raw.data(), from.data(), to.data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args, environ) != 0 ||
        waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("gdcmconv could not decode " + in + " (install libgdcm-tools)");
}

void ProgramLoad(const std::string& path) {
    ceph::platform::PictureStore store;
    const auto ref = store.Load(path);
    if (!ref) throw std::runtime_error(ref.why().detail);
    benchmark::DoNotOptimize(store.Get(*ref).constBits());
}

// The demo radiograph at 3000 x 3000 in 16 bits: enlarged smoothly from its 8-bit grey
// levels, so that the low bits vary as a deep detector's do.
void WriteRadiograph(const std::string& demo, const std::string& path) {
    QImage picture(QString::fromStdString(demo));
    if (picture.isNull()) throw std::runtime_error("cannot read " + demo);
    picture = picture.convertToFormat(QImage::Format_Grayscale16)
                  .scaled(kSide, kSide, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    std::vector<char> pixels(std::size_t{kSide} * kSide * 2);
    for (int y = 0; y < kSide; ++y)
        std::copy_n(reinterpret_cast<const char*>(picture.constScanLine(y)), kSide * 2,
                    pixels.data() + std::size_t{2} * kSide * y);

    gdcm::ImageWriter writer;
    gdcm::Image& image = writer.GetImage();
    image.SetNumberOfDimensions(2);
    const unsigned dims[2] = {kSide, kSide};
    image.SetDimensions(dims);
    image.SetPixelFormat(gdcm::PixelFormat(gdcm::PixelFormat::UINT16));
    image.SetPhotometricInterpretation(gdcm::PhotometricInterpretation::MONOCHROME2);
    image.SetTransferSyntax(gdcm::TransferSyntax::ExplicitVRLittleEndian);
    gdcm::DataElement data(gdcm::Tag(0x7FE0, 0x0010));
    data.SetByteValue(pixels.data(), static_cast<std::uint32_t>(pixels.size()));
    image.SetDataElement(data);
    gdcm::ImageChangeTransferSyntax change;
    change.SetTransferSyntax(gdcm::TransferSyntax::JPEG2000Lossless);
    change.SetInput(image);
    if (!change.Change()) throw std::runtime_error("GDCM could not compress the radiograph");
    writer.SetImage(change.GetOutput());
    writer.SetFileName(path.c_str());
    if (!writer.Write()) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string dicom;
    ceph::bench::TakeFlag(argc, argv, "dicom", &dicom);
    const double maxRatio = ceph::bench::TakeNumber(argc, argv, "max_ratio", 1.5);
    const double maxHistogramMs = ceph::bench::TakeNumber(argc, argv, "max_histogram_ms", 10);
    QGuiApplication app(argc, argv);
    QTemporaryDir scratch;
    try {
        if (dicom.empty()) {
            dicom = scratch.filePath(QStringLiteral("radiograph.dcm")).toStdString();
            WriteRadiograph(CEPH_DEMO_DIR "/pictures/10234_3.jpg", dicom);
        }
        const std::string raw = scratch.filePath(QStringLiteral("raw.dcm")).toStdString();
        std::printf("%s: %.2f MB\n", dicom.c_str(),
                    static_cast<double>(std::filesystem::file_size(dicom)) / 1e6);
        // Both read the file from the page cache, and a failure shows here.
        Gdcmconv(dicom, raw);
        ProgramLoad(dicom);
        ceph::platform::PictureStore store;
        const auto ref = store.Load(dicom);
        const QImage picture = store.Deep(*ref);
        for (const auto& [name, work] :
             {std::pair<std::string, std::function<void()>>{"gdcmconv",
                                                            [&] { Gdcmconv(dicom, raw); }},
              {"ProgramLoad", [&] { ProgramLoad(dicom); }},
              {"Histogram",
               [&] { benchmark::DoNotOptimize(ceph::platform::HistogramWindow(picture)); }}})
            benchmark::RegisterBenchmark(name.c_str(),
                                         [work](benchmark::State& state) {
                                             for (auto _ : state)
                                                 work();
                                         })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        const auto medians = ceph::bench::RunBenchmarks(argc, argv, {5, true});
        if (!medians) return 2;
        const double reference = medians->ms.at("gdcmconv");
        const double load = medians->ms.at("ProgramLoad");
        const double ratio = load / reference;
        std::printf("\nmedian of gdcmconv --raw:  %8.2f ms\n", reference);
        std::printf("median of the program's load: %8.2f ms  ratio %.2f (limit %.2f)%s\n", load,
                    ratio, maxRatio, ratio > maxRatio ? "  TOO SLOW" : "");
        const int histogram =
            ceph::bench::CheckMilliseconds(*medians, {"Histogram"}, maxHistogramMs);
        return ratio > maxRatio ? 1 : histogram;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
}
