#include "updater/transfer/transfer_loop.h"

#include <vector>

#include "common/size_text.h"

std::wstring TransferSizeText(uint64_t received, const RemoteSize &size) {
    std::wstring text = FormatSize(static_cast<double>(received));
    if (size.known) text += L" / " + FormatSize(static_cast<double>(size.bytes));
    return text;
}

int TransferPercent(uint64_t received, const RemoteSize &size) {
    if (!size.known || size.bytes == 0) return 0;
    if (received >= size.bytes) return 100;
    return static_cast<int>(static_cast<double>(received) * 100.0 / static_cast<double>(size.bytes));
}

TransferEnd RunTransfer(TransferPorts &ports, RemoteSize size, uint32_t blockSize) {
    std::vector<unsigned char> buffer(blockSize ? blockSize : kTransferBlock);
    TransferStatus status;
    status.size = size;
    const uint64_t start = ports.NowMs();
    uint64_t lastRefresh = start;
    bool refreshed = false;  // a first read larger than the early bytes still shows at once
    uint64_t lastData = start;
    bool grown = false;  // a re-check listed more, and the rest could not be asked for anew

    for (;;) {
        if (ports.StopRequested()) return TransferEnd::Stopped;
        uint32_t got = 0;
        if (!ports.Read(buffer.data(), uint32_t(buffer.size()), got)) return TransferEnd::ReadFailed;
        const uint64_t now = ports.NowMs();
        if (got == 0) {
            if (now - lastData > kSilenceLimitMs) return TransferEnd::Silent;
            // Without a listed size the server's end of the data is the file's end.
            if (!status.size.known) return TransferEnd::Finished;
            if (status.received >= status.size.bytes) return TransferEnd::Finished;
            if (grown && ports.Resume(status.received)) {
                grown = false;
                continue;
            }
            ports.Idle();
            continue;
        }
        lastData = now;
        if (!ports.Write(buffer.data(), got)) return TransferEnd::WriteFailed;
        status.received += got;

        const bool atEnd = status.size.known && status.received >= status.size.bytes;
        if (!refreshed || status.received <= kEarlyRefreshBytes || atEnd ||
            now - lastRefresh > kRefreshIntervalMs) {
            const uint64_t seconds = (now - start) / 1000;
            if (seconds >= 1)
                status.speedText = FormatSpeed(double(status.received) / double(seconds));
            status.sizeText = TransferSizeText(status.received, status.size);
            ports.Refresh(status);
            lastRefresh = now;
            refreshed = true;
        }
        if (!atEnd) continue;

        RemoteSize listed = status.size;
        switch (ports.Recheck(listed)) {
            case RecheckResult::Stopped: return TransferEnd::Stopped;
            case RecheckResult::Failed: return TransferEnd::Finished;
            case RecheckResult::Checked: break;
        }
        // A listing that lost the file keeps the size that was reached.
        if (!listed.known || status.received >= listed.bytes) return TransferEnd::Finished;
        status.size = listed;
        // The rest is fetched anew from where the data stands; when that cannot be
        // asked for, the open transfer is read on and resumed once it has ended.
        grown = !ports.Resume(status.received);
    }
}
