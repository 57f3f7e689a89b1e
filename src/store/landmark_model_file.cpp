#include "store/landmark_model_file.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>

#include "base/checksum.h"
#include "base/safe_file.h"
#include "store/record_store.h"

namespace ceph::store {

namespace {

constexpr char kMark[16] = {'R', 'C', 'E', 'P', 'H', '-', 'L', 'A',
                            'N', 'D', 'M', 'A', 'R', 'K', 'S', '\n'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = sizeof kMark + 4 + 4 + 8 + 8;
// Far beyond any model worth keeping, and low enough that no count multiplies past the
// limits of the sizes it is checked with.
constexpr std::uint32_t kMostCascades = 1000, kMostSplits = (1u << 20) - 1, kMostTrees = 20000;
constexpr float kMostShapeValue = 100, kMostThreshold = 1000;

class Writer {
  public:
    void U32(std::uint32_t v) { Raw(v, 4); }
    void U64(std::uint64_t v) { Raw(v, 8); }
    void F32(float v) { U32(std::bit_cast<std::uint32_t>(v)); }
    void F64(double v) { U64(std::bit_cast<std::uint64_t>(v)); }
    void Byte(bool v) { out_.push_back(v ? '\1' : '\0'); }
    std::string& Bytes() { return out_; }

  private:
    void Raw(std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    std::string out_;
};

// Reads the payload front to back; each read fails (and every later one with it) where
// the bytes run out.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}
    bool ok() const { return ok_; }
    std::size_t Left() const { return rest_.size(); }
    // Whether `count` items of `size` bytes each can still follow.
    bool Room(std::uint64_t count, std::uint64_t size) {
        if (count > rest_.size() / size) ok_ = false;
        return ok_;
    }
    std::uint64_t Raw(int bytes) {
        if (!ok_ || rest_.size() < static_cast<std::size_t>(bytes)) return ok_ = false, 0;
        std::uint64_t v = 0;
        for (int i = 0; i < bytes; ++i)
            v |= std::uint64_t{static_cast<unsigned char>(rest_[static_cast<std::size_t>(i)])}
                 << (8 * i);
        rest_.remove_prefix(static_cast<std::size_t>(bytes));
        return v;
    }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Raw(4)); }
    float F32() {
        const float v = std::bit_cast<float>(U32());
        if (!std::isfinite(v)) ok_ = false;
        return v;
    }
    // A value of the trees: moves and offsets in the unit box, thresholds of differences
    // of grey levels. Far beyond any a learning makes; sums of them stay finite.
    float Bounded(float limit) {
        const float v = F32();
        if (!(std::abs(v) <= limit)) ok_ = false;
        return v;
    }
    double F64() {
        const double v = std::bit_cast<double>(Raw(8));
        if (!std::isfinite(v)) ok_ = false;
        return v;
    }
    bool Byte() {
        const auto v = Raw(1);
        if (v > 1) ok_ = false;
        return v == 1;
    }
    void Refuse() { ok_ = false; }

  private:
    std::string_view rest_;
    bool ok_ = true;
};

void WriteCascade(Writer& w, const model::ShapeCascade& c) {
    w.U32(static_cast<std::uint32_t>(c.features.size()));
    for (const model::ShapeFeature& f : c.features) {
        w.U32(f.anchor);
        w.F32(f.dx);
        w.F32(f.dy);
    }
    w.U32(static_cast<std::uint32_t>(c.trees.size()));
    for (const model::ShapeTree& t : c.trees) {
        w.U32(static_cast<std::uint32_t>(t.splits.size()));
        for (const model::ShapeSplit& s : t.splits) {
            w.U32(s.first);
            w.U32(s.second);
            w.F32(s.threshold);
        }
        for (const float v : t.leaves)
            w.F32(v);
    }
}

// A tree of `parts` parts over `features` feature pixels.
bool ReadTree(Reader& r, std::uint32_t parts, std::uint32_t features, model::ShapeTree& t) {
    const std::uint32_t splits = r.U32();
    // A complete tree: one leaf more than splits, and a power of two of them.
    if (splits > kMostSplits || !std::has_single_bit(splits + 1)) r.Refuse();
    const std::uint64_t leafValues = (std::uint64_t{splits} + 1) * 2 * parts;
    if (!r.Room(splits, 12) || !r.Room(leafValues, 4)) return false;
    t.splits.resize(splits);
    for (model::ShapeSplit& s : t.splits) {
        s.first = r.U32();
        s.second = r.U32();
        s.threshold = r.Bounded(kMostThreshold);
        if (s.first >= features || s.second >= features) r.Refuse();
    }
    t.leaves.resize(leafValues);
    for (float& v : t.leaves)
        v = r.Bounded(kMostShapeValue);
    return r.ok();
}

bool ReadCascade(Reader& r, std::uint32_t parts, model::ShapeCascade& c) {
    const std::uint32_t features = r.U32();
    if (!r.Room(features, 12)) return false;
    c.features.resize(features);
    for (model::ShapeFeature& f : c.features) {
        f.anchor = r.U32();
        f.dx = r.Bounded(kMostShapeValue);
        f.dy = r.Bounded(kMostShapeValue);
        if (f.anchor >= parts) r.Refuse();
    }
    const std::uint32_t trees = r.U32();
    // The least a tree takes: its count of splits and one leaf.
    if (trees > kMostTrees || !r.Room(trees, 4 + 8 * std::uint64_t{parts})) return false;
    c.trees.resize(trees);
    for (model::ShapeTree& t : c.trees)
        if (!ReadTree(r, parts, features, t)) return false;
    return r.ok();
}

bool ReadPredictor(Reader& r, std::uint32_t parts, model::ShapePredictor& p) {
    if (!r.Room(2 * parts, 4)) return false;
    p.initialShape.resize(2 * parts);
    for (float& v : p.initialShape)
        v = r.Bounded(kMostShapeValue);
    const std::uint32_t cascades = r.U32();
    if (cascades > kMostCascades || !r.Room(cascades, 8)) return false;
    p.cascades.resize(cascades);
    for (model::ShapeCascade& c : p.cascades)
        if (!ReadCascade(r, parts, c)) return false;
    return r.ok();
}

// The closer looks: each at a landmark the model knows, each landmark once.
bool ReadLocal(Reader& r, model::LandmarkModel& m) {
    m.localMillimetresPerPixel = r.F64();
    m.localBox = r.F32();
    const std::uint32_t count = r.U32();
    if (count > static_cast<std::uint32_t>(model::kLandmarkCount) || !r.Room(count, 12))
        return false;
    if (count > 0 && !(m.localMillimetresPerPixel >= 0.01 && m.localMillimetresPerPixel <= 10 &&
                       m.localBox >= 1 && m.localBox <= 500))
        r.Refuse();
    std::array<bool, model::kLandmarkCount + 1> seen{};
    m.local.resize(count);
    for (model::LocalPredictor& l : m.local) {
        l.landmark = r.U32();
        if (l.landmark < 1 || l.landmark > static_cast<std::uint32_t>(model::kLandmarkCount) ||
            !m.known[l.landmark] || seen[l.landmark])
            return false;
        seen[l.landmark] = true;
        if (!ReadPredictor(r, 1, l.shape)) return false;
    }
    return r.ok();
}

bool ReadPayload(Reader& r, model::LandmarkModel& m) {
    m.millimetresPerPixel = r.F64();
    if (!(m.millimetresPerPixel >= 0.01 && m.millimetresPerPixel <= 10)) r.Refuse();
    m.films = r.U32();
    m.filmWidth = r.F32();
    if (!(m.filmWidth > 0 && m.filmWidth <= 2000)) r.Refuse();
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        m.known[i] = r.Byte();
        m.expectedError[i] = r.F32();
        if (m.expectedError[i] < 0) r.Refuse();
    }
    const auto parts = static_cast<std::uint32_t>(m.Parts());
    if (parts == 0) r.Refuse();
    if (!ReadPredictor(r, parts, m.global) || !ReadPredictor(r, parts, m.framed)) return false;
    m.frameMargin = r.F32();
    if (!(m.frameMargin >= 0 && m.frameMargin <= 1)) r.Refuse();
    return ReadLocal(r, m) && r.Left() == 0;
}

void WritePredictor(Writer& w, const model::ShapePredictor& p) {
    for (const float v : p.initialShape)
        w.F32(v);
    w.U32(static_cast<std::uint32_t>(p.cascades.size()));
    for (const model::ShapeCascade& c : p.cascades)
        WriteCascade(w, c);
}

}  // namespace

std::string LandmarkModelBytes(const model::LandmarkModel& m) {
    Writer payload;
    payload.F64(m.millimetresPerPixel);
    payload.U32(m.films);
    payload.F32(m.filmWidth);
    for (int k = 1; k <= model::kLandmarkCount; ++k) {
        payload.Byte(m.known[static_cast<std::size_t>(k)]);
        payload.F32(m.expectedError[static_cast<std::size_t>(k)]);
    }
    WritePredictor(payload, m.global);
    WritePredictor(payload, m.framed);
    payload.F32(m.frameMargin);
    payload.F64(m.localMillimetresPerPixel);
    payload.F32(m.localBox);
    payload.U32(static_cast<std::uint32_t>(m.local.size()));
    for (const model::LocalPredictor& l : m.local) {
        payload.U32(l.landmark);
        WritePredictor(payload, l.shape);
    }

    Writer file;
    file.Bytes().assign(kMark, sizeof kMark);
    file.U32(kVersion);
    file.U32(0);
    file.U64(payload.Bytes().size());
    file.U64(base::Fnv1a64(payload.Bytes()));
    return file.Bytes() + payload.Bytes();
}

base::Result<model::LandmarkModel, std::string> ReadLandmarkModel(std::string_view bytes) {
    if (bytes.size() < sizeof kMark || std::memcmp(bytes.data(), kMark, sizeof kMark) != 0)
        return base::Fail(std::string("不是本程式的描點建議模型檔"));
    Reader header(bytes.substr(sizeof kMark, kHeaderBytes - sizeof kMark));
    const std::uint32_t version = header.U32(), flags = header.U32();
    const std::uint64_t size = header.Raw(8), checksum = header.Raw(8);
    if (!header.ok()) return base::Fail(std::string("描點建議模型檔不完整"));
    // No flags are defined yet: a file with some is of a later version.
    if (version != kVersion || flags != 0)
        return base::Fail("描點建議模型檔的版本 " + std::to_string(version) + " 本程式不認得");
    const std::string_view payload = bytes.substr(kHeaderBytes);
    if (payload.size() != size) return base::Fail(std::string("描點建議模型檔不完整"));
    if (base::Fnv1a64(payload) != checksum) return base::Fail(std::string("描點建議模型檔已損壞"));
    model::LandmarkModel m;
    Reader r(payload);
    if (!ReadPayload(r, m)) return base::Fail(std::string("描點建議模型檔的內容不合理"));
    return m;
}

base::Result<model::LandmarkModel, std::string> LoadLandmarkModel(const std::string& path) {
    std::string bytes;
    if (const std::error_code ec = base::ReadRegularFile(path, bytes, kLandmarkModelMaxBytes))
        return base::Fail("無法讀取描點建議模型檔 " + path + ": " + base::ErrorText(ec));
    auto read = ReadLandmarkModel(bytes);
    if (!read) return base::Fail(read.why() + ": " + path);
    return read;
}

base::Result<std::string, std::string> CheckedLandmarkModelBytes(
    const model::LandmarkModel& model) {
    std::string bytes = LandmarkModelBytes(model);
    if (const auto again = ReadLandmarkModel(bytes); !again) return base::Fail(again.why());
    return bytes;
}

std::string StoreLandmarkModel(const std::string& dataDir, const model::LandmarkModel& model) {
    const std::string path = dataDir + kLandmarkModelName;
    const auto checked = CheckedLandmarkModelBytes(model);
    if (!checked) return "學到的模型無法保存（" + checked.why() + "）: " + path;
    const std::string& bytes = *checked;
    base::FileLock lock;
    if (const std::error_code ec =
            lock.Acquire(LockFilePath(dataDir), kLandmarkModelLockSlot, std::chrono::seconds(10)))
        return "無法寫入 " + path + ": " + base::ErrorText(ec);
    if (const std::error_code ec = base::WriteFileAtomically(path, bytes))
        return "無法寫入 " + path + ": " + base::ErrorText(ec);
    return {};
}

}  // namespace ceph::store
