#include "updater/transfer/download_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(DownloadPaths, SplitsLocalAndRemoteTexts) {
    struct Case {
        const wchar_t *local, *remote;
        DownloadPaths expected;
    } cases[] = {
        // a full local path: the server file of the local name, from the remote's folder
        {L"C:\\Tessel\\Temp\\TesselMIDSetup\\1.2.F\\TesselMIDSetup 1.2.F.exe",
         L"127.0.0.1/Korea/PC/TesselMIDSetup/1.2.F/",
         {L"127.0.0.1", L"/Korea/PC/TesselMIDSetup/1.2.F/", L"TesselMIDSetup 1.2.F.exe",
          L"C:\\Tessel\\Temp\\TesselMIDSetup\\1.2.F\\", L"TesselMIDSetup 1.2.F.exe"}},
        // a local folder: the file keeps the server's name
        {L"C:\\Packages\\", L"10.0.0.2/MID/marbo K4/Viewer/viewer.zip",
         {L"10.0.0.2", L"/MID/marbo K4/Viewer/", L"viewer.zip", L"C:\\Packages\\", L"viewer.zip"}},
        // a relative local path goes below the program folder, with or without its backslash
        {L"\\Temp\\a.bin", L"h/f/a.bin",
         {L"h", L"/f/", L"a.bin", L"C:\\Program Files\\Tessel\\Temp\\", L"a.bin"}},
        {L"Temp/a.bin", L"h/f/a.bin",
         {L"h", L"/f/", L"a.bin", L"C:\\Program Files\\Tessel\\Temp\\", L"a.bin"}},
        // a scheme in front of the server is skipped
        {L"", L"ftp://127.0.0.2/cat/x.zip", {L"127.0.0.2", L"/cat/", L"x.zip", L"", L"x.zip"}},
        // doubled and foreign separators on both sides
        {L"C:/a//b\\\\c.txt", L"h//x\\\\y///c.txt",
         {L"h", L"/x/y/", L"c.txt", L"C:\\a\\b\\", L"c.txt"}},
        // a remote text without any folder
        {L"C:\\a\\b.txt", L"host", {L"host", L"", L"b.txt", L"C:\\a\\", L"b.txt"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "local " << testing::PrintToString(std::wstring(c.local))
                                        << " remote " << testing::PrintToString(std::wstring(c.remote)));
        const DownloadPaths p = SplitDownloadPaths(c.local, c.remote, L"C:\\Program Files\\Tessel");
        EXPECT_EQ(p.server, c.expected.server);
        EXPECT_EQ(p.serverFolder, c.expected.serverFolder);
        EXPECT_EQ(p.fileName, c.expected.fileName);
        EXPECT_EQ(p.localFolder, c.expected.localFolder);
        EXPECT_EQ(p.localName, c.expected.localName);
    }
}

}  // namespace
