#include "updater/wizard/update_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/localized_text.h"

namespace {

// Performs a run's actions on paper: each asynchronous request is written to
// `actions` and answered by Drive() as the scenario says, so a whole run can
// be walked from the first download to its end.
class PaperWorld : public UpdateRunActions {
public:
    enum class Pending { kNone, kDownload, kVerify, kClose, kUnpack, kInstall };

    // What the world does differently from "everything works".
    std::set<std::wstring> failingDownloads;  // file names
    std::set<std::wstring> tampered;          // file names whose bytes are not the signed ones
    std::set<std::wstring> failingUnpacks;    // archive file names
    std::set<std::wstring> unstartable;       // installer file names
    std::map<std::wstring, unsigned long> exitCodes;
    std::set<std::wstring> existingFiles;     // full paths
    std::wstring runningProgramFor;           // a component whose program runs

    std::vector<std::wstring> actions;
    std::wstring heading, log;
    std::vector<RunEnd> ends;
    Pending pending = Pending::kNone;
    std::wstring pendingPath;

    void Download(const std::wstring &localFile, const std::wstring &remotePath) override {
        Ask(Pending::kDownload, localFile, L"download " + remotePath);
    }
    void VerifyPackage(const std::wstring &localFile, const SignedDigest &digest) override {
        EXPECT_TRUE(digest.known);
        Ask(Pending::kVerify, localFile, L"verify " + localFile);
    }
    void CloseRunningProgram(const PackagePlace &place) override {
        closing = place;
        Ask(Pending::kClose, place.packageName, L"close " + place.component);
    }
    void Unpack(const std::wstring &folder, const std::wstring &archive) override {
        Ask(Pending::kUnpack, archive, L"unpack " + archive + L" -> " + folder);
    }
    void RunInstaller(const std::wstring &path) override { Ask(Pending::kInstall, path, L"install " + path); }
    bool FileExists(const std::wstring &path) override { return existingFiles.count(path) > 0; }
    void CreateDesktopShortcut(const std::wstring &name, const std::wstring &,
                               const std::wstring &target, const std::wstring &folder) override {
        actions.push_back(L"shortcut " + name + L" -> " + target + L" in " + folder);
    }
    void RecordVersion(const std::wstring &component, const std::wstring &version) override {
        actions.push_back(L"record " + component + L" " + version);
    }
    void StartProgram(const std::wstring &path) override { actions.push_back(L"start " + path); }
    void ShowHeading(const std::wstring &text) override { heading = text; }
    void AppendLog(const std::wstring &text) override { log += text; }
    void ClearStatus() override {}
    void SetBars(int) override {}
    void Ended(RunEnd end) override {
        ends.push_back(end);
        pending = Pending::kNone;
    }

    // Answers the pending request, and the ones that follow, until the run
    // waits for nothing or `steps` answers were given.
    void Drive(UpdateRun &run, int steps = 1000) {
        for (; steps > 0 && pending != Pending::kNone; --steps) {
            const Pending answering = pending;
            const std::wstring path = pendingPath;
            const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
            pending = Pending::kNone;
            switch (answering) {
            case Pending::kDownload:
                if (failingDownloads.count(name))
                    run.OnDownloadFailed(L"cannot download " + name);
                else
                    run.OnDownloadFinished();
                break;
            case Pending::kVerify:
                run.OnPackageVerified(tampered.count(name) == 0);
                break;
            case Pending::kClose:
                run.OnProgramClosed(closing.component == runningProgramFor
                                        ? L"C:\\PF\\" + closing.packageName + L"\\player.exe"
                                        : L"");
                break;
            case Pending::kUnpack:
                if (failingUnpacks.count(name))
                    run.OnUnpackFailed(L"cannot unpack " + name);
                else
                    run.OnUnpackFinished();
                break;
            case Pending::kInstall: {
                InstallerEnd end;
                end.started = unstartable.count(name) == 0;
                end.exitCode = exitCodes.count(name) ? exitCodes[name] : 0;
                run.OnInstallerEnded(end);
                break;
            }
            case Pending::kNone:
                break;
            }
        }
    }

private:
    void Ask(Pending what, const std::wstring &path, const std::wstring &action) {
        EXPECT_EQ(pending, Pending::kNone) << "two requests at once: " << action;
        pending = what;
        pendingPath = path;
        actions.push_back(action);
    }

    PackagePlace closing;
};

PackageEntry Entry(const wchar_t *component, const wchar_t *version, const wchar_t *file) {
    return {L"MID/Setup", component, L"", version, file};
}

// Three ticked rows: a driver ZIP with a Setup.exe followed by a patch, a ZIP
// without a setup, and an MSI.
UpdatePlan ThreeRows() {
    UpdatePlan plan;
    plan.rows = {{Entry(L"Audio", L"1.1", L"Driver.zip"), Entry(L"Audio", L"1.1", L"Patch.exe")},
                 {Entry(L"marboViewer", L"2.0", L"Viewer.zip")},
                 {Entry(L"Notes", L"3.0", L"Notes.msi")}};
    plan.programFolder = L"C:\\Tessel";
    plan.programFiles = L"C:\\PF";
    plan.server = L"srv";
    return plan;
}

PaperWorld WorldForThreeRows() {
    PaperWorld world;
    world.existingFiles = {L"C:\\PF\\Driver\\Setup.exe"};
    return world;
}

const std::vector<std::wstring> kThreeRowsRun = {
    L"download srv/MID/Setup/Audio/1.1/Driver.zip",
    L"close Audio",
    L"unpack C:\\Tessel\\Temp\\Audio\\1.1\\Driver.zip -> C:\\PF\\Driver",
    L"install C:\\PF\\Driver\\Setup.exe",
    L"download srv/MID/Setup/Audio/1.1/Patch.exe",
    L"close Audio",
    L"install C:\\Tessel\\Temp\\Audio\\1.1\\Patch.exe",
    L"record Audio 1.1",
    L"download srv/MID/Setup/marboViewer/2.0/Viewer.zip",
    L"close marboViewer",
    L"unpack C:\\Tessel\\Temp\\marboViewer\\2.0\\Viewer.zip -> C:\\PF\\Viewer",
    L"shortcut Viewer -> C:\\PF\\Viewer\\Viewer.exe in C:\\PF\\Viewer",
    L"record marboViewer 2.0",
    L"download srv/MID/Setup/Notes/3.0/Notes.msi",
    L"close Notes",
    L"install C:\\Tessel\\Temp\\Notes\\3.0\\Notes.msi",
    L"record Notes 3.0",
};

TEST(UpdateRunTest, WholeRunInstallsEveryPackageAndRecordsEachRowOnce) {
    PaperWorld world = WorldForThreeRows();
    UpdateRun run(world);
    ASSERT_TRUE(run.Start(ThreeRows()));
    world.Drive(run);

    EXPECT_EQ(world.actions, kThreeRowsRun);
    ASSERT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kComplete});
    EXPECT_EQ(world.heading, L"Installation of all files is complete.");
    EXPECT_EQ(world.log,
              L"Audio 1.1\r\n"
              L"  - Downloading \"Driver.zip\" file.\r\n  - Installing \"Driver.zip\" file.\r\n"
              L"  - Downloading \"Patch.exe\" file.\r\n  - Installing \"Patch.exe\" file.\r\n"
              L"marboViewer 2.0\r\n"
              L"  - Downloading \"Viewer.zip\" file.\r\n  - Installing \"Viewer.zip\" file.\r\n"
              L"Notes 3.0\r\n"
              L"  - Downloading \"Notes.msi\" file.\r\n  - Installing \"Notes.msi\" file.\r\n"
              L"Installation of all files is complete.\r\n");
    EXPECT_EQ(run.CurrentStep(), UpdateRun::Step::kEnded);

    // Late or repeated notices change nothing once the run is over.
    run.OnDownloadFinished();
    run.OnInstallerEnded({true, 0});
    EXPECT_EQ(world.actions.size(), kThreeRowsRun.size());
    EXPECT_EQ(world.ends.size(), 1u);
}

// Each failure ends the run at once with its text: the rows before it stay
// recorded, the failing row and every later one are not.
TEST(UpdateRunTest, FirstFailureEndsTheRunWithItsText) {
    struct Case {
        const char *what;
        void (*arrange)(PaperWorld &);
        const wchar_t *heading;
        std::vector<std::wstring> recorded;
    } cases[] = {
        {"download of the second row fails",
         [](PaperWorld &w) { w.failingDownloads = {L"Viewer.zip"}; }, L"cannot download Viewer.zip",
         {L"record Audio 1.1"}},
        {"unpacking of the second row fails",
         [](PaperWorld &w) { w.failingUnpacks = {L"Viewer.zip"}; }, L"cannot unpack Viewer.zip",
         {L"record Audio 1.1"}},
        {"the first row's last package cannot be started",
         [](PaperWorld &w) { w.unstartable = {L"Patch.exe"}; }, L"\"Patch.exe\" could not be started.",
         {}},
        {"the first row's setup cannot be started",
         [](PaperWorld &w) { w.unstartable = {L"Setup.exe"}; }, L"\"Setup.exe\" could not be started.",
         {}},
        {"msiexec reports a failure",
         [](PaperWorld &w) { w.exitCodes = {{L"Notes.msi", 1603}}; },
         L"\"Notes.msi\" failed to install (error 1603).",
         {L"record Audio 1.1", L"record marboViewer 2.0"}},
        {"msiexec asks for a restart", [](PaperWorld &w) { w.exitCodes = {{L"Notes.msi", 3010}}; },
         nullptr, {L"record Audio 1.1", L"record marboViewer 2.0", L"record Notes 3.0"}},
        {"another installer's exit code means nothing",
         [](PaperWorld &w) { w.exitCodes = {{L"Patch.exe", 1}}; }, nullptr,
         {L"record Audio 1.1", L"record marboViewer 2.0", L"record Notes 3.0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PaperWorld world = WorldForThreeRows();
        c.arrange(world);
        UpdateRun run(world);
        ASSERT_TRUE(run.Start(ThreeRows()));
        world.Drive(run);

        std::vector<std::wstring> recorded;
        for (const std::wstring &action : world.actions)
            if (action.rfind(L"record ", 0) == 0)
                recorded.push_back(action);
        EXPECT_EQ(recorded, c.recorded);
        ASSERT_EQ(world.ends.size(), 1u);
        if (c.heading) {
            EXPECT_EQ(world.ends[0], RunEnd::kFailed);
            EXPECT_EQ(world.heading, c.heading);
            EXPECT_NE(world.log.find(std::wstring(c.heading) + L"\r\n"), std::wstring::npos);
            EXPECT_EQ(world.log.find(L"complete"), std::wstring::npos);
        } else {
            EXPECT_EQ(world.ends[0], RunEnd::kComplete);
        }
    }
}

// Cancel after every request of a whole run: the run ends as cancelled and asks
// for nothing more, except while an installer runs, when Cancel is refused and
// the run goes on to its end.
TEST(UpdateRunTest, CancelAtEveryStep) {
    int cancelled = 0, refused = 0;
    for (int answered = 0;; ++answered) {
        SCOPED_TRACE(answered);
        PaperWorld world = WorldForThreeRows();
        UpdateRun run(world);
        ASSERT_TRUE(run.Start(ThreeRows()));
        world.Drive(run, answered);
        if (!world.ends.empty())
            break;  // every step had its turn
        const bool installing = run.Installing();
        const size_t asked = world.actions.size();
        const PaperWorld::Pending inFlight = world.pending;

        EXPECT_EQ(run.Cancel(), !installing);
        ++(installing ? refused : cancelled);
        if (installing) {
            world.Drive(run);
            EXPECT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kComplete});
            continue;
        }
        EXPECT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kCancelled});
        // The request in flight still answers; the run takes no further step.
        world.pending = inFlight;
        world.Drive(run);
        run.OnUnpackFinished();
        run.OnInstallerEnded({true, 0});
        EXPECT_EQ(world.actions.size(), asked);
        EXPECT_EQ(world.ends.size(), 1u);
        EXPECT_TRUE(run.Cancel());
    }
    // Four downloads, four closes, two unpackings; three installers.
    EXPECT_EQ(cancelled, 10);
    // (Signed runs add a check after each download; Cancel ends them there too.)
    EXPECT_EQ(refused, 3);
}

// A running maker program is closed before its package is installed and
// started again afterwards, also when the package fails.
TEST(UpdateRunTest, ClosedProgramIsStartedAgain) {
    for (bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        PaperWorld world = WorldForThreeRows();
        world.runningProgramFor = L"marboViewer";
        if (fails)
            world.failingUnpacks = {L"Viewer.zip"};
        UpdateRun run(world);
        ASSERT_TRUE(run.Start(ThreeRows()));
        world.Drive(run);
        const std::wstring start = L"start C:\\PF\\Viewer\\player.exe";
        auto at = std::find(world.actions.begin(), world.actions.end(), start);
        ASSERT_NE(at, world.actions.end());
        EXPECT_EQ(std::count(world.actions.begin(), world.actions.end(), start), 1);
        if (!fails) {
            EXPECT_EQ(*(at - 1), L"record marboViewer 2.0");
        }
    }
}

// Signed mode: every package is checked against its digest after its download
// and before anything of it is unpacked or run; a package whose bytes differ,
// or that the index does not name, fails its row.
TEST(UpdateRunTest, SignedPlanChecksEveryPackageBeforeItIsUnpackedOrRun) {
    auto signedPlan = [](bool everyDigest) {
        UpdatePlan plan = ThreeRows();
        plan.signedPackages = true;
        for (PackageList &row : plan.rows)
            for (PackageEntry &entry : row)
                entry.digest.known = everyDigest || entry.fileName != L"Notes.msi";
        return plan;
    };
    {
        SCOPED_TRACE("all match");
        PaperWorld world = WorldForThreeRows();
        UpdateRun run(world);
        ASSERT_TRUE(run.Start(signedPlan(true)));
        world.Drive(run);
        EXPECT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kComplete});
        std::vector<std::wstring> unsignedRun;
        for (const std::wstring &action : world.actions)
            if (action.rfind(L"verify ", 0) != 0)
                unsignedRun.push_back(action);
        EXPECT_EQ(unsignedRun, kThreeRowsRun);
        // Each download is followed by its check, and only then by the rest.
        for (size_t i = 0; i < world.actions.size(); ++i)
            if (world.actions[i].rfind(L"download ", 0) == 0) {
                ASSERT_LT(i + 1, world.actions.size());
                EXPECT_EQ(world.actions[i + 1].rfind(L"verify ", 0), 0u) << world.actions[i];
            }
    }
    struct Case {
        const char *what;
        bool everyDigest;
        const wchar_t *tampered;
        const wchar_t *heading;
        std::vector<std::wstring> recorded;
    } cases[] = {
        {"one byte of the viewer changed", true, L"Viewer.zip",
         L"\"Viewer.zip\" is not the file the maker signed: it was not installed.", {L"record Audio 1.1"}},
        {"the patch changed", true, L"Patch.exe",
         L"\"Patch.exe\" is not the file the maker signed: it was not installed.", {}},
        {"the index does not name the MSI", false, L"",
         L"\"Notes.msi\" is not the file the maker signed: it was not installed.",
         {L"record Audio 1.1", L"record marboViewer 2.0"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        PaperWorld world = WorldForThreeRows();
        world.tampered = {c.tampered};
        UpdateRun run(world);
        ASSERT_TRUE(run.Start(signedPlan(c.everyDigest)));
        world.Drive(run);
        EXPECT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kFailed});
        EXPECT_EQ(world.heading, c.heading);
        std::vector<std::wstring> recorded;
        for (const std::wstring &action : world.actions) {
            if (action.rfind(L"record ", 0) == 0)
                recorded.push_back(action);
            // Nothing of the refused package is unpacked or run.
            const bool unpackOrRun = action.rfind(L"unpack", 0) == 0 || action.rfind(L"install", 0) == 0;
            if (*c.tampered && unpackOrRun) {
                EXPECT_EQ(action.find(c.tampered), std::wstring::npos) << testing::PrintToString(action);
            }
        }
        EXPECT_EQ(recorded, c.recorded);
    }
}

// A ZIP whose name gives no folder of its own below Program Files ("..zip"
// would unpack over Program Files itself) is never unpacked, whatever lister
// let it through.
TEST(UpdateRunTest, ZipThatNamesNoFolderOfItsOwnIsNeverUnpacked) {
    for (const wchar_t *file : {L"..zip", L"...zip", L" .zip", L"a\\b.zip"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(file)));
        PaperWorld world;
        UpdateRun run(world);
        UpdatePlan plan = ThreeRows();
        plan.rows = {{Entry(L"Tool", L"1.0", file)}};
        ASSERT_TRUE(run.Start(plan));
        world.Drive(run);
        EXPECT_EQ(world.ends, std::vector<RunEnd>{RunEnd::kFailed});
        EXPECT_EQ(world.heading, PackageFolderRefusedText(file, 0));
        for (const std::wstring &action : world.actions)
            EXPECT_NE(action.rfind(L"unpack", 0), 0u) << testing::PrintToString(action);
    }
}

TEST(UpdateRunTest, PlanWithoutPackagesAsksForNothing) {
    PaperWorld world;
    UpdateRun run(world);
    UpdatePlan plan = ThreeRows();
    plan.rows = {{}, {}};
    EXPECT_FALSE(run.Start(plan));
    EXPECT_TRUE(world.actions.empty());
    EXPECT_TRUE(world.ends.empty());
    EXPECT_EQ(run.CurrentStep(), UpdateRun::Step::kIdle);
}

TEST(UpdateRunTest, KoreanTexts) {
    PaperWorld world = WorldForThreeRows();
    world.unstartable = {L"Patch.exe"};
    UpdateRun run(world);
    UpdatePlan plan = ThreeRows();
    plan.langId = kKoreanLangId;
    ASSERT_TRUE(run.Start(plan));
    world.Drive(run);
    EXPECT_EQ(world.heading, L"\"Patch.exe\" 파일을 실행할 수 없습니다.");
    EXPECT_NE(world.log.find(L"\"Driver.zip\" 파일을 다운로드 중입니다."), std::wstring::npos);
    EXPECT_EQ(InstallerFailedText(L"a.msi", 1603, kKoreanLangId), L"\"a.msi\" 설치에 실패했습니다 (오류 1603).");
}

}  // namespace
