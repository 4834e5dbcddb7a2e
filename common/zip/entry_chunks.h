#ifndef COMMON_ZIP_ENTRY_CHUNKS_H
#define COMMON_ZIP_ENTRY_CHUNKS_H

#include <cstddef>
#include <cstdint>
#include <functional>

#include "common/zip/byte_stream.h"
#include "common/zip/zip_entry_reader.h"

namespace zip {

// How a chunked copy of one entry's data ended.
enum class ChunkOutcome {
    Finished,     // every byte written; size and CRC-32 checked
    Stopped,      // the stop test answered true before a chunk
    Declined,     // the chunk notice answered false after a chunk
    WriteFailed,  // the target took fewer bytes than it was given
};

// Asked before every chunk; true stops the copy.
using StopTest = std::function<bool()>;
// Told the size of every chunk written; false ends the copy.
using ChunkNotice = std::function<bool(uint32_t bytesWritten)>;

// The extraction loop both programs' readers share: the entry's data goes
// through `buffer` (`size` bytes, not 0) into `target`, one chunk at a time,
// with a stop test before each chunk and a notice after it. The stop test is
// not asked once the last byte is out, so a finished entry never counts as
// stopped. Damaged data throws CZipException from the entry reader.
ChunkOutcome CopyEntryChunks(ZipEntryReader &entry, ByteStream &target, uint8_t *buffer,
                             size_t size, const StopTest &stop, const ChunkNotice &notice);

}  // namespace zip

#endif
