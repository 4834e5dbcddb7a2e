#ifndef UPDATER_TRANSFER_TRANSFER_LOOP_H
#define UPDATER_TRANSFER_TRANSFER_LOOP_H

#include <cstdint>
#include <string>

// The size of the file on the server, when its listing showed it.
struct RemoteSize {
    bool known = false;
    uint64_t bytes = 0;
};

// What the window shows of a running transfer.
struct TransferStatus {
    uint64_t received = 0;
    RemoteSize size;
    std::wstring speedText;  // empty during the first second
    std::wstring sizeText;   // "1.0KB / 1.5KB", or "1.0KB" while the size is unknown
};

enum class RecheckResult { Checked, Failed, Stopped };
enum class TransferEnd { Finished, Stopped, ReadFailed, Silent, WriteFailed };

// What a transfer reads from, writes to and reports through. The download
// worker implements it over WinInet and a local file; tests script it.
class TransferPorts {
public:
    virtual ~TransferPorts() = default;
    virtual bool StopRequested() = 0;
    // False on a read error; `got` 0 with true when nothing came.
    virtual bool Read(void *buffer, uint32_t capacity, uint32_t &got) = 0;
    virtual bool Write(const void *data, uint32_t length) = 0;
    // Milliseconds on a clock that never goes back.
    virtual uint64_t NowMs() = 0;
    // Called between reads that brought nothing (the worker rests briefly).
    virtual void Idle() {}
    virtual void Refresh(const TransferStatus &status) = 0;
    // After the last listed byte: the size as the server lists it now.
    virtual RecheckResult Recheck(RemoteSize &size) = 0;
    // After a re-check showed the file grew: fetch the file anew from `offset`
    // (asked once at once, and once more when the old transfer has ended if
    // the first ask failed). False when that is not possible.
    virtual bool Resume(uint64_t offset) = 0;
};

// Reads of 64 KiB: 1 KiB reads cap a download near 6 MB/s under Wine, slower
// than a school's network (figures in docs/downloads.md).
constexpr uint32_t kTransferBlock = 65536;
// Every read refreshes the display while this little has arrived.
constexpr uint32_t kEarlyRefreshBytes = 1024;
constexpr uint64_t kSilenceLimitMs = 15000;
constexpr uint64_t kRefreshIntervalMs = 500;

// The transfer loop of one download, from its first read to its end. A file
// whose size is unknown is read until the server ends it; a known size is
// re-checked after its last byte, and a file that grew is read on to its new end.
TransferEnd RunTransfer(TransferPorts &ports, RemoteSize size, uint32_t blockSize = kTransferBlock);

// "received / total" as the Download window and the progress page show it.
std::wstring TransferSizeText(uint64_t received, const RemoteSize &size);
// Whole percent of the size, truncated; 0 when the size is unknown or 0.
int TransferPercent(uint64_t received, const RemoteSize &size);

#endif
