#include "common/zip/entry_chunks.h"

namespace zip {

ChunkOutcome CopyEntryChunks(ZipEntryReader &entry, ByteStream &target, uint8_t *buffer,
                             size_t size, const StopTest &stop, const ChunkNotice &notice) {
    for (;;) {
        if (entry.Remaining() == 0) {
            // Reaches the end of the stream: a deflate stream that goes on, or
            // a CRC-32 that disagrees, throws here.
            entry.Read(buffer, size);
            return ChunkOutcome::Finished;
        }
        if (stop && stop()) return ChunkOutcome::Stopped;
        const size_t n = entry.Read(buffer, size);
        if (n == 0) return ChunkOutcome::Finished;
        if (!target.Write(buffer, n)) return ChunkOutcome::WriteFailed;
        if (notice && !notice(static_cast<uint32_t>(n))) return ChunkOutcome::Declined;
    }
}

}  // namespace zip
