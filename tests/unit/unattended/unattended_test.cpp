#include <gtest/gtest.h>

#include <string>

#include "updater/unattended/run_log.h"
#include "updater/unattended/start_options.h"

namespace {

TEST(StartOptions, EachOptionInAnyCaseAndAnythingElseRefused) {
    struct {
        const wchar_t *arguments;
        StartMode mode;
    } cases[] = {
        {L"", StartMode::kInteractive},          {L"   ", StartMode::kInteractive},
        {L"/WindowsStart", StartMode::kWindowsStart}, {L" /windowsstart ", StartMode::kWindowsStart},
        {L"-WINDOWSSTART", StartMode::kWindowsStart}, {L"/unattended", StartMode::kUnattended},
        {L"/Unattended", StartMode::kUnattended}, {L"-unattended", StartMode::kUnattended},
        {L"/list", StartMode::kList},            {L"/LIST", StartMode::kList},
        {L"/help", StartMode::kHelp},            {L"/?", StartMode::kHelp},
        {L"-h", StartMode::kHelp},               {L"/unatended", StartMode::kInvalid},
        {L"unattended", StartMode::kInvalid},    {L"/list /unattended", StartMode::kInvalid},
        {L"/", StartMode::kInvalid},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ParseStartOptions(c.arguments), c.mode) << testing::PrintToString(std::wstring(c.arguments));
}

TEST(RunLog, LinesCarryTimeAndDeviceAndStayOneLine) {
    const LogClock clock{2026, 12, 8, 7, 5, 9};
    EXPECT_EQ(FormatLogLine(clock, L"MID marbo K4 EX Win7", L"Audio 1.1\r\n"),
              "2026-12-08 07:05:09 [MID marbo K4 EX Win7] Audio 1.1\r\n");
    EXPECT_EQ(FormatLogLine(clock, L"CMPC X Vista", L"two\r\nlines"),
              "2026-12-08 07:05:09 [CMPC X Vista] two  lines\r\n");
    // Korean text arrives as UTF-8.
    EXPECT_EQ(FormatLogLine(clock, L"MID", L"설치"), "2026-12-08 07:05:09 [MID] \xEC\x84\xA4\xEC\xB9\x98\r\n");
}

// The log never grows past its limit: the oldest whole lines go, down to half.
TEST(RunLog, OldestWholeLinesGoWhenTheLimitIsReached) {
    std::string log;
    for (int i = 0; i < 100; ++i)
        log += "line " + std::to_string(1000 + i) + "\r\n";  // 11 bytes each
    ASSERT_EQ(log.size(), 1100u);

    EXPECT_EQ(LogBytesToDrop(log, 11, 2000), 0u);
    EXPECT_EQ(LogBytesToDrop(log, 900, 2000), 0u);
    for (size_t limit : {1100u, 1000u, 600u, 333u, 50u}) {
        SCOPED_TRACE(limit);
        const size_t drop = LogBytesToDrop(log, 11, limit);
        ASSERT_GT(drop, 0u);
        ASSERT_LE(drop, log.size());
        const std::string kept = log.substr(drop);
        EXPECT_LE(kept.size() + 11, limit / 2 + 11) << "what stays fills at most half";
        EXPECT_TRUE(kept.empty() || kept.compare(0, 5, "line ") == 0) << "a whole line starts it";
        EXPECT_EQ(kept, log.substr(log.size() - kept.size())) << "the newest lines stay";
    }
    // A line longer than the limit goes whole.
    EXPECT_EQ(LogBytesToDrop(std::string(5000, 'x'), 10, 1000), 5000u);
}

}  // namespace
