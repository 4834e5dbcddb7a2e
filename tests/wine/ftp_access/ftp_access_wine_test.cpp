// CFtpAccess against the sample update server that run.sh starts on the port in
// TESSEL_FTP_PORT: the tree it built on 127.0.0.1, a server that never answers on
// 127.0.0.2, nothing on 127.0.0.3.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/wine/ftp_access/server_log_win.h"
#include "updater/transfer/ftp_access_win.h"

namespace {

const wchar_t kServer[] = L"127.0.0.1";
const char kServerLog[] = "127.0.0.1";
const wchar_t kSilentServer[] = L"127.0.0.2";
const char kSilentLog[] = "127.0.0.2";
const wchar_t kNoServer[] = L"127.0.0.3";

int TestPort() { return ServerPort(kFtpPort); }

class FtpAccessTest : public testing::Test {
protected:
    void SetUp() override { log.Mark(); }
    bool ConnectToTree(CFtpAccess &ftp) {
        return ftp.Connect(kServer, TestPort(), kFtpUser, kFtpPassword);
    }
    ServerLog log;
};

bool IsWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

double SecondsSince(DWORD start) { return (GetTickCount() - start) / 1000.0; }

TEST_F(FtpAccessTest, RefusedAccountMakesFiveAttemptsInTurnAndLeavesNoSession) {
    CFtpAccess ftp;
    EXPECT_FALSE(ftp.Connect(kServer, TestPort(), kFtpUser, L"not-the-password"));
    EXPECT_FALSE(ftp.IsConnected());

    EXPECT_EQ(5, log.Count(kServerLog, "CMD USER"));
    EXPECT_EQ(5, log.Count(kServerLog, "REFUSED"));
    // One attempt after the other: each log-in was refused before the next connection.
    int refusedSinceConnect = 1;
    for (const auto &line : log.LinesSinceMark()) {
        if (line.rfind(std::string(kServerLog) + " CONNECT", 0) == 0) {
            EXPECT_EQ(1, refusedSinceConnect) << "a connection began before the last was refused";
            refusedSinceConnect = 0;
        } else if (line.rfind(std::string(kServerLog) + " REFUSED", 0) == 0) {
            ++refusedSinceConnect;
        }
    }
    EXPECT_TRUE(log.WaitUntilNoOpenSession(kServerLog, 5000));
}

TEST_F(FtpAccessTest, ConnectOnConnectedObjectReplacesTheOldConnection) {
    CFtpAccess ftp;
    ASSERT_TRUE(ConnectToTree(ftp));
    ASSERT_EQ(1, log.OpenSessions(kServerLog, 1, 3000));
    ASSERT_TRUE(ConnectToTree(ftp));
    EXPECT_EQ(2, log.Count(kServerLog, "LOGIN"));
    EXPECT_EQ(1, log.OpenSessions(kServerLog, 1, 3000)) << "the first connection was left open";

    TextList folders;
    EXPECT_TRUE(ftp.ListFolders(folders, L"/onlyfolders"));
    EXPECT_EQ(2u, folders.size());

    ftp.Close();
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_TRUE(log.WaitUntilNoOpenSession(kServerLog, 3000));
}

TEST_F(FtpAccessTest, FolderWorkWithoutConnectionFailsWithoutTraffic) {
    CFtpAccess ftp;
    EXPECT_FALSE(ftp.CreateFolder(L"/[MID]/[]/never"));
    FileListing files{{L"stale", L"1"}};
    EXPECT_FALSE(ftp.ListFiles(files, L"/onlyfiles"));
    EXPECT_TRUE(files.empty());
    TextList folders{L"stale"};
    EXPECT_FALSE(ftp.ListFolders(folders, L"/onlyfolders"));
    EXPECT_TRUE(folders.empty());

    Sleep(300);
    EXPECT_TRUE(log.LinesSinceMark().empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(log.StatePath(L"tree\\[MID]\\[]\\never").c_str()));
}

TEST_F(FtpAccessTest, CreateFolderMakesTheFolderOnceOnly) {
    CFtpAccess ftp;
    ASSERT_TRUE(ConnectToTree(ftp));
    // The tree holds "/[MID]" only: both report folders, as a device makes them.
    EXPECT_TRUE(ftp.CreateFolder(L"/[MID]/[]"));
    EXPECT_TRUE(ftp.CreateFolder(L"/[MID]/[]/device1"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(log.StatePath(L"tree\\[MID]\\[]\\device1").c_str()));
    // Relative to the current folder, which a listing changes.
    TextList folders;
    ASSERT_TRUE(ftp.ListFolders(folders, L"/[MID]/[]"));
    EXPECT_TRUE(ftp.CreateFolder(L"device2"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(log.StatePath(L"tree\\[MID]\\[]\\device2").c_str()));
    // The server refuses to make an existing folder again, and any folder
    // outside the report folders.
    EXPECT_FALSE(ftp.CreateFolder(L"/[MID]/[]/device1"));
    EXPECT_FALSE(ftp.CreateFolder(L"/onlyfolders/third"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW(log.StatePath(L"tree\\onlyfolders\\third").c_str()));
}

// Lists `folder` both ways into collections that hold a stale entry, so that their
// emptying shows too, and compares with what the tree holds: files as "name=size,"
// in the server's order, folders in any order.
void ExpectListings(CFtpAccess &ftp, const std::wstring &folder, bool entered,
                    const std::wstring &files, TextList folders) {
    SCOPED_TRACE(testing::Message() << "folder " << folder);
    FileListing listedFiles{{L"stale", L"1"}};
    EXPECT_EQ(entered, ftp.ListFiles(listedFiles, folder));
    std::wstring listed;
    for (const ListedFile &file : listedFiles) listed += file.name + L"=" + file.size + L",";
    EXPECT_EQ(files, listed);
    TextList listedFolders{L"stale"};
    EXPECT_EQ(entered, ftp.ListFolders(listedFolders, folder));
    std::sort(listedFolders.begin(), listedFolders.end());
    EXPECT_EQ(folders, listedFolders);
}

TEST_F(FtpAccessTest, ListingsSeparateFilesFromFolders) {
    CFtpAccess ftp;
    ASSERT_TRUE(ConnectToTree(ftp));
    ExpectListings(ftp, L"/onlyfolders", true, L"", {L"first", L"second"});
    ExpectListings(ftp, L"/onlyfiles", true, L"a.txt=5,b.bin=1536,", {});
    ExpectListings(ftp, L"/mixed", true, L"readme.txt=1,", {L"sub"});
}

TEST_F(FtpAccessTest, EmptyFolderListsNothingAndSucceeds) {
    CFtpAccess ftp;
    ASSERT_TRUE(ConnectToTree(ftp));
    ExpectListings(ftp, L"/empty", true, L"", {});
}

TEST_F(FtpAccessTest, MissingFolderFailsWithTheCollectionEmptied) {
    CFtpAccess ftp;
    ASSERT_TRUE(ConnectToTree(ftp));
    ExpectListings(ftp, L"/no/such/folder", false, L"", {});
    // The connection stays usable.
    ExpectListings(ftp, L"/mixed", true, L"readme.txt=1,", {L"sub"});
}

TEST_F(FtpAccessTest, SilentServerFailsWithinTheTimeouts) {
    CFtpAccess ftp;
    DWORD start = GetTickCount();
    EXPECT_FALSE(ftp.Connect(kSilentServer, TestPort(), kFtpUser, kFtpPassword));
    double seconds = SecondsSince(start);
    RecordProperty("silent_server_seconds", std::to_string(seconds));
    std::printf("silent server: Connect gave up after %.1f s\n", seconds);
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_EQ(5, log.Count(kSilentLog, "CONNECT"));
    // Five attempts, each bounded by the connect time-out and the wait for the
    // server's greeting: the 7 s receive time-out on Windows; Wine 8 ignores it and
    // waits a fixed 30 s.
    const double greetingWait = IsWine() ? 30.0 : 7.0;
    EXPECT_LT(seconds, 5 * (3.5 + greetingWait) + 5.0);
    EXPECT_TRUE(log.WaitUntilNoOpenSession(kSilentLog, 3000));
}

TEST_F(FtpAccessTest, NoServerFailsAtOnce) {
    CFtpAccess ftp;
    DWORD start = GetTickCount();
    EXPECT_FALSE(ftp.Connect(kNoServer, TestPort(), kFtpUser, kFtpPassword));
    double seconds = SecondsSince(start);
    RecordProperty("no_server_seconds", std::to_string(seconds));
    std::printf("no server: Connect gave up after %.1f s\n", seconds);
    EXPECT_FALSE(ftp.IsConnected());
    EXPECT_LT(seconds, 5 * 3.5 + 2.0);
}

}  // namespace
