#include "tools/pkgbuild/parallel_entries.h"

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "common/text.h"
#include "common/zip/file_stream.h"
#include "common/zip/zip_error.h"
#include "tools/pkgbuild/native_path.h"

namespace {

constexpr uint64_t kProbeBytes = 1 << 16;  // as the serial writer judges
constexpr uint64_t kPieceBytes = 1 << 19;
constexpr uint64_t kDictionaryBytes = 1 << 15;

struct Piece {
    size_t entry = 0, seq = 0;
    uint64_t offset = 0, length = 0;
    bool deflate = false, probe = false, last = false;
};

struct PieceResult {
    std::vector<uint8_t> bytes;  // deflated, or the data itself for a stored piece
    uint32_t crc = 0;
    uint64_t length = 0;
    bool probe = false, last = false;
    bool store = false;  // a probe's verdict: deflate does not pay
};

// Reads [offset - dictionary, offset + length) of the source.
std::vector<uint8_t> ReadSource(const ParallelEntry &entry, uint64_t from, uint64_t count) {
    auto in = FileStream::Open(WidePath(entry.source), FileStream::Mode::Read);
    if (!in) throw std::runtime_error("cannot open \"" + entry.source.string() + "\"");
    std::vector<uint8_t> bytes(count);
    if (!in->Seek(from) || in->Read(bytes.data(), bytes.size()) != bytes.size())
        throw CZipException(ZipCause::ReadFailed, "source file cut short");
    return bytes;
}

PieceResult RunPiece(const ParallelEntry &entry, const Piece &piece, int level) {
    const uint64_t dictionary = piece.deflate ? std::min(piece.offset, kDictionaryBytes) : 0;
    std::vector<uint8_t> input = ReadSource(entry, piece.offset - dictionary, dictionary + piece.length);
    const uint8_t *data = input.data() + dictionary;
    PieceResult result;
    result.length = piece.length;
    result.probe = piece.probe;
    result.last = piece.last;
    result.crc = static_cast<uint32_t>(crc32(crc32(0, Z_NULL, 0), data, static_cast<uInt>(piece.length)));
    if (!piece.deflate) {
        input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(dictionary));
        result.bytes = std::move(input);
        return result;
    }
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw CZipException(ZipCause::InflateInit, "deflate could not start");
    if (dictionary) deflateSetDictionary(&z, input.data(), static_cast<uInt>(dictionary));
    result.bytes.resize(deflateBound(&z, static_cast<uLong>(piece.length)) + 64);
    z.next_in = const_cast<uint8_t *>(data);
    z.avail_in = static_cast<uInt>(piece.length);
    const int flush = piece.last ? Z_FINISH : Z_SYNC_FLUSH;
    size_t used = 0;
    for (;;) {
        z.next_out = result.bytes.data() + used;
        z.avail_out = static_cast<uInt>(result.bytes.size() - used);
        const int rc = deflate(&z, flush);
        used = result.bytes.size() - z.avail_out;
        if (piece.last ? rc == Z_STREAM_END : (z.avail_in == 0 && z.avail_out > 0)) break;
        result.bytes.resize(result.bytes.size() * 2);
    }
    deflateEnd(&z);
    result.bytes.resize(used);
    result.store = piece.probe && !piece.last && used * 100 >= piece.length * 99;
    return result;
}

// Hands out pieces in order, one entry's probe before its other pieces, and
// keeps the results until the writer takes them.
class PieceQueue {
public:
    PieceQueue(const std::vector<ParallelEntry> &entries, unsigned threads)
        : m_entries(entries), m_states(entries.size()), m_window(2 * threads + 2),
          m_threads(threads) {}

    // A worker's next piece; false when there is none left or the run failed.
    bool Take(Piece &piece) {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            if (m_failed || m_scanFrom == m_entries.size()) return false;
            if (Next(piece)) return true;
            m_changed.wait(lock);
        }
    }

    void Deliver(const Piece &piece, PieceResult result) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (piece.probe) m_states[piece.entry].verdict = result.store ? Verdict::Store : Verdict::Deflate;
        m_results[{piece.entry, piece.seq}] = std::move(result);
        m_changed.notify_all();
    }

    void Fail(std::exception_ptr error) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_error) m_error = error;
        m_failed = true;
        m_changed.notify_all();
    }

    // The writer's next result of `entry`, in order; rethrows a worker's failure.
    PieceResult Await(size_t entry, size_t seq) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_writerEntry != entry) {
            m_writerEntry = entry;
            m_changed.notify_all();
        }
        for (;;) {
            if (m_error) std::rethrow_exception(m_error);
            auto it = m_results.find({entry, seq});
            if (it != m_results.end()) {
                PieceResult result = std::move(it->second);
                m_results.erase(it);
                --m_inFlight;
                m_changed.notify_all();
                return result;
            }
            m_changed.wait(lock);
        }
    }

private:
    enum class Verdict { Unknown, Deflate, Store };
    struct State {
        Verdict verdict = Verdict::Unknown;
        bool probeIssued = false;
        uint64_t issued = 0;  // data handed out for the final form
        size_t nextSeq = 0;
    };

    bool Next(Piece &piece) {
        for (size_t e = m_scanFrom; e < m_entries.size(); ++e) {
            const ParallelEntry &entry = m_entries[e];
            State &state = m_states[e];
            const bool storeAtOnce = !entry.compress;
            if (entry.folder || entry.size == 0 ||
                ((storeAtOnce || state.verdict != Verdict::Unknown) && state.issued == entry.size)) {
                if (e == m_scanFrom) ++m_scanFrom;
                continue;
            }
            // The writer's own entry may go beyond the window, so it never waits on later entries.
            const bool room = m_inFlight < m_window ||
                              (e == m_writerEntry && m_inFlight < m_window + m_threads);
            if (!room) return false;
            piece = Piece();
            piece.entry = e;
            if (!storeAtOnce && !state.probeIssued) {
                state.probeIssued = true;
                piece.seq = state.nextSeq++;
                piece.length = std::min(entry.size, kProbeBytes);
                piece.deflate = piece.probe = true;
                piece.last = piece.length == entry.size;
                if (piece.last) state.issued = entry.size;
            } else if (!storeAtOnce && state.verdict == Verdict::Unknown) {
                continue;  // its probe decides; look further on meanwhile
            } else {
                const bool deflate = !storeAtOnce && state.verdict == Verdict::Deflate;
                if (deflate && state.issued == 0) state.issued = kProbeBytes;  // the probe's data counts
                piece.seq = state.nextSeq++;
                piece.offset = state.issued;
                piece.length = std::min(kPieceBytes, entry.size - state.issued);
                piece.deflate = deflate;
                piece.last = piece.offset + piece.length == entry.size;
                state.issued += piece.length;
            }
            ++m_inFlight;
            return true;
        }
        return false;
    }

    const std::vector<ParallelEntry> &m_entries;
    std::vector<State> m_states;
    std::map<std::pair<size_t, size_t>, PieceResult> m_results;
    const size_t m_window;
    const size_t m_threads;
    size_t m_scanFrom = 0, m_writerEntry = 0, m_inFlight = 0;
    bool m_failed = false;
    std::exception_ptr m_error;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

// The workers, joined whatever way the writer leaves.
class Workers {
public:
    Workers(PieceQueue &queue, const std::vector<ParallelEntry> &entries, int level, unsigned count)
        : m_queue(queue) {
        for (unsigned i = 0; i < count; ++i)
            m_threads.emplace_back([&queue, &entries, level] {
                Piece piece;
                while (queue.Take(piece)) {
                    try {
                        queue.Deliver(piece, RunPiece(entries[piece.entry], piece, level));
                    } catch (...) {
                        queue.Fail(std::current_exception());
                        return;
                    }
                }
            });
    }
    ~Workers() {
        m_queue.Fail(nullptr);  // ends any worker still waiting for room
        for (std::thread &t : m_threads) t.join();
    }

private:
    PieceQueue &m_queue;
    std::vector<std::thread> m_threads;
};

// Writes the source's bytes stored, after deflate turned out not to pay.
void RewriteStored(zip::ZipWriter &writer, const ParallelEntry &entry) {
    writer.RestartEntryData();
    auto in = FileStream::Open(WidePath(entry.source), FileStream::Mode::Read);
    if (!in) throw std::runtime_error("cannot open \"" + entry.source.string() + "\"");
    std::vector<uint8_t> buffer(1 << 16);
    for (uint64_t left = entry.size; left > 0;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), left));
        if (in->Read(buffer.data(), n) != n)
            throw CZipException(ZipCause::ReadFailed, "source file cut short");
        writer.WriteEntryData(buffer.data(), n);
        left -= n;
    }
}

}  // namespace

void WriteEntriesInParallel(zip::ZipWriter &writer, const std::vector<ParallelEntry> &entries,
                            int level, unsigned threads, const EntryProgress &progress) {
    level = std::min(9, std::max(1, level));
    threads = std::max(1u, threads);
    PieceQueue queue(entries, threads);
    Workers workers(queue, entries, level, threads);
    for (size_t e = 0; e < entries.size(); ++e) {
        const ParallelEntry &entry = entries[e];
        if (entry.folder) {
            writer.AddFolder(entry.name, entry.meta);
            continue;
        }
        writer.BeginEntry(entry.name, entry.meta);
        uint16_t method = entry.compress ? zip::kMethodDeflated : zip::kMethodStored;
        uLong crc = crc32(0, Z_NULL, 0);
        uint64_t written = 0;
        for (size_t seq = 0; entry.size > 0; ++seq) {
            PieceResult piece = queue.Await(e, seq);
            if (piece.store) {
                method = zip::kMethodStored;  // the probe's bytes are not used
                continue;
            }
            writer.WriteEntryData(piece.bytes.data(), piece.bytes.size());
            written += piece.bytes.size();
            crc = crc32_combine(crc, piece.crc, static_cast<z_off_t>(piece.length));
            if (progress) progress(piece.length, entry.label);
            if (piece.last) break;
        }
        if (entry.size == 0 || (method == zip::kMethodDeflated && written >= entry.size)) {
            if (entry.size) RewriteStored(writer, entry);
            method = zip::kMethodStored;
        }
        writer.EndEntry(method, static_cast<uint32_t>(crc), entry.size);
    }
}
