#include "updater/transfer/transfer_loop.h"

#include <deque>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// One scripted read: `bytes` arrive (0: nothing), `afterMs` after the previous one.
struct ScriptedRead {
    uint32_t bytes;
    uint64_t afterMs = 0;
    bool fails = false;
};

class ScriptedPorts : public TransferPorts {
public:
    std::deque<ScriptedRead> reads;
    // What each re-check lists, in turn (an empty list: the re-check fails).
    std::deque<RemoteSize> listings;
    bool stopAfterReads = false;
    size_t stopAt = 0;
    bool writeFails = false;
    bool resumable = true;

    uint64_t clock = 0;
    uint64_t written = 0;
    int idles = 0;
    int rechecks = 0;
    std::vector<uint64_t> resumedAt;
    std::vector<TransferStatus> refreshes;
    size_t readsDone = 0;

    bool StopRequested() override { return stopAfterReads && readsDone >= stopAt; }
    bool Read(void *, uint32_t capacity, uint32_t &got) override {
        ++readsDone;
        if (reads.empty()) {  // the server has ended the data: nothing more, ever
            clock += 10;
            got = 0;
            return true;
        }
        ScriptedRead r = reads.front();
        clock += r.afterMs;
        if (r.fails) return false;
        got = r.bytes < capacity ? r.bytes : capacity;
        if (r.bytes > got) reads.front().bytes -= got, reads.front().afterMs = 0;
        else reads.pop_front();
        return true;
    }
    bool Write(const void *, uint32_t length) override {
        if (writeFails) return false;
        written += length;
        return true;
    }
    uint64_t NowMs() override { return clock; }
    void Idle() override { ++idles; }
    void Refresh(const TransferStatus &status) override { refreshes.push_back(status); }
    RecheckResult Recheck(RemoteSize &size) override {
        ++rechecks;
        if (listings.empty()) return RecheckResult::Failed;
        size = listings.front();
        listings.pop_front();
        return RecheckResult::Checked;
    }
    bool Resume(uint64_t offset) override {
        resumedAt.push_back(offset);
        return resumable;
    }
};

RemoteSize Known(uint64_t bytes) { return {true, bytes}; }

TEST(TransferLoop, SizeAndSpeedTextsFollowTheBytes) {
    {   // 1,536 bytes in 1024-byte reads: a refresh after each of the two, then the re-check
        ScriptedPorts p;
        p.reads = {{1536, 5}};
        p.listings = {Known(1536)};
        EXPECT_EQ(RunTransfer(p, Known(1536), 1024), TransferEnd::Finished);
        ASSERT_EQ(p.refreshes.size(), 2u);
        EXPECT_EQ(p.refreshes[0].sizeText, L"1.0KB / 1.5KB");
        EXPECT_EQ(p.refreshes[1].sizeText, L"1.5KB / 1.5KB");
        EXPECT_EQ(p.refreshes[1].speedText, L"") << "no speed during the first second";
        EXPECT_EQ(p.rechecks, 1);
        EXPECT_EQ(p.written, 1536u);
    }
    {   // 700 bytes
        ScriptedPorts p;
        p.reads = {{700, 1}};
        p.listings = {Known(700)};
        EXPECT_EQ(RunTransfer(p, Known(700)), TransferEnd::Finished);
        ASSERT_EQ(p.refreshes.size(), 1u);
        EXPECT_EQ(p.refreshes[0].sizeText, L"700B / 700B");
    }
    {   // 3,000,000 bytes over 3 s: refreshes at most every 500 ms, the last at the end
        ScriptedPorts p;
        for (int i = 0; i < 3000; ++i) p.reads.push_back({1000, 1});
        p.listings = {Known(3000000)};
        EXPECT_EQ(RunTransfer(p, Known(3000000)), TransferEnd::Finished);
        ASSERT_GE(p.refreshes.size(), 3u);
        EXPECT_LE(p.refreshes.size(), 10u);
        EXPECT_EQ(p.refreshes.back().sizeText, L"2.9MB / 2.9MB");
        EXPECT_EQ(p.refreshes.back().received, 3000000u);
        EXPECT_EQ(p.refreshes.back().speedText, L"976.6KB/s");  // 3,000,000 B in 3 s
        for (const TransferStatus &s : p.refreshes) {  // one read a millisecond
            if (s.received < 1000000) {
                EXPECT_EQ(s.speedText, L"") << s.received;
            }
        }
    }
    {   // a first read of a whole 64 KiB block shows at once, though the server then falls silent
        ScriptedPorts p;
        p.reads = {{65536, 1}, {0, 300}, {65536, 100}};
        p.listings = {Known(131072)};
        EXPECT_EQ(RunTransfer(p, Known(131072)), TransferEnd::Finished);
        ASSERT_FALSE(p.refreshes.empty());
        EXPECT_EQ(p.refreshes.front().received, 65536u);
        EXPECT_EQ(p.refreshes.front().sizeText, L"64.0KB / 128.0KB");
    }
    EXPECT_EQ(TransferPercent(2999999, Known(3000000)), 99);
    EXPECT_EQ(TransferPercent(29999, Known(3000000)), 0);
    EXPECT_EQ(TransferPercent(3000000, Known(3000000)), 100);
    EXPECT_EQ(TransferPercent(5, RemoteSize{}), 0);
    EXPECT_EQ(TransferPercent(0, Known(0)), 0);
    EXPECT_EQ(TransferSizeText(1023, RemoteSize{}), L"1023B");
    EXPECT_EQ(TransferSizeText(1024, Known(1048575)), L"1.0KB / 1024.0KB");
    EXPECT_EQ(TransferSizeText(1048576, Known(1048576)), L"1.0MB / 1.0MB");
}

TEST(TransferLoop, SilenceLongerThanFifteenSecondsFailsShorterIsWaitedOut) {
    {   // 14,999 ms of empty reads, then the rest: finished
        ScriptedPorts p;
        p.reads = {{512, 1}};
        for (int i = 0; i < 14998 / 2; ++i) p.reads.push_back({0, 2});
        p.reads.push_back({512, 1});
        p.listings = {Known(1024)};
        EXPECT_EQ(RunTransfer(p, Known(1024)), TransferEnd::Finished);
        EXPECT_GT(p.idles, 1000);
    }
    {   // data stops for good half-way: an error 15 s after the last byte, not before
        ScriptedPorts p;
        p.reads = {{512, 1}};
        EXPECT_EQ(RunTransfer(p, Known(1024)), TransferEnd::Silent);
        EXPECT_GT(p.clock, 1 + kSilenceLimitMs);
        EXPECT_LE(p.clock, 1 + kSilenceLimitMs + 10);
        EXPECT_EQ(p.rechecks, 0);
    }
    {   // one read that blocks past the limit and then ends the data
        ScriptedPorts p;
        p.reads = {{100, 1}, {0, 15001}};
        EXPECT_EQ(RunTransfer(p, Known(1024)), TransferEnd::Silent);
    }
}

TEST(TransferLoop, UnknownSizeIsReadUntilTheServerEndsTheFile) {
    ScriptedPorts p;
    p.reads = {{1024, 1}, {1024, 1}, {700, 1}};
    EXPECT_EQ(RunTransfer(p, RemoteSize{}), TransferEnd::Finished);
    EXPECT_EQ(p.written, 2748u) << "the whole file, not only its first block";
    EXPECT_EQ(p.rechecks, 0);
    ASSERT_FALSE(p.refreshes.empty());
    EXPECT_EQ(p.refreshes.front().sizeText, L"1.0KB");
}

TEST(TransferLoop, ARecheckThatListsMoreReadsOnAndResumesWhereTheOldDataEnded) {
    {   // the server file grew to 3000 while 2048 were fetched
        // After the resume, the rest arrives.
        struct ResumingPorts : ScriptedPorts {
            bool Resume(uint64_t offset) override {
                ScriptedPorts::Resume(offset);
                reads.push_back({952, 1});
                return true;
            }
        } r;
        r.reads = {{2048, 1}};
        r.listings = {Known(3000), Known(3000)};
        EXPECT_EQ(RunTransfer(r, Known(2048)), TransferEnd::Finished);
        EXPECT_EQ(r.written, 3000u);
        EXPECT_EQ(r.resumedAt, std::vector<uint64_t>{2048});
        EXPECT_EQ(r.rechecks, 2);
        EXPECT_EQ(r.refreshes.back().sizeText, L"2.9KB / 2.9KB");
    }
    {   // the rest cannot be asked for at once: the old transfer is read on to its end first
        struct LateResume : ScriptedPorts {
            bool Resume(uint64_t offset) override {
                ScriptedPorts::Resume(offset);
                if (resumedAt.size() == 1) {
                    reads.push_back({500, 1});  // still on the old transfer
                    return false;
                }
                reads.push_back({452, 1});
                return true;
            }
        } r;
        r.reads = {{2048, 1}};
        r.listings = {Known(3000), Known(3000)};
        EXPECT_EQ(RunTransfer(r, Known(2048)), TransferEnd::Finished);
        EXPECT_EQ(r.written, 3000u);
        EXPECT_EQ(r.resumedAt, (std::vector<uint64_t>{2048, 2548}));
    }
    {   // a failed re-check, or one that lists no more, finishes the download
        ScriptedPorts failed;
        failed.reads = {{10, 1}};
        EXPECT_EQ(RunTransfer(failed, Known(10)), TransferEnd::Finished);
        ScriptedPorts same;
        same.reads = {{10, 1}};
        same.listings = {Known(10)};
        EXPECT_EQ(RunTransfer(same, Known(10)), TransferEnd::Finished);
        EXPECT_TRUE(same.resumedAt.empty());
    }
}

TEST(TransferLoop, StopsReadErrorsAndWriteErrorsEndTheLoop) {
    ScriptedPorts stop;
    for (int i = 0; i < 10; ++i) stop.reads.push_back({1024, 1});
    stop.stopAfterReads = true;
    stop.stopAt = 3;
    EXPECT_EQ(RunTransfer(stop, Known(10240)), TransferEnd::Stopped);
    EXPECT_EQ(stop.readsDone, 3u);

    ScriptedPorts read;
    read.reads = {{1024, 1}, {0, 1, true}};
    EXPECT_EQ(RunTransfer(read, Known(4096)), TransferEnd::ReadFailed);

    ScriptedPorts write;
    write.reads = {{1024, 1}};
    write.writeFails = true;
    EXPECT_EQ(RunTransfer(write, Known(4096)), TransferEnd::WriteFailed);

    struct StoppedRecheck : ScriptedPorts {
        RecheckResult Recheck(RemoteSize &) override { return RecheckResult::Stopped; }
    } recheck;
    recheck.reads = {{100, 1}};
    EXPECT_EQ(RunTransfer(recheck, Known(100)), TransferEnd::Stopped);
}

}  // namespace
