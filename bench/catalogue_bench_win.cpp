// Times the catalogue search against the update server on 127.0.0.2 and counts
// what the walk asks of its lister (run by bench/catalogue-bench).
//   catalogue_bench TREE_FOLDER SEARCHES
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "updater/catalogue/catalogue_search_win.h"
#include "updater/catalogue/counting_lister.h"
#include "updater/catalogue/installed_version_win.h"
#include "updater/catalogue/local_folder_lister.h"

int wmain(int argc, wchar_t **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: catalogue_bench TREE_FOLDER SEARCHES\n");
        return 2;
    }
    DeviceProfile profile;
    profile.family = L"MID";
    profile.modelName = L"marbo K4";
    profile.modelSuffix = L"EX";
    profile.serial = L"9HK40001";
    profile.windowsName = L"Win7";
    SetDeviceProfile(profile);

    LocalFolderLister local(argv[1]);
    CountingLister counted(local);
    CRegistryInventory installed(profile.family);
    ComponentList fromDisk;
    WalkCatalogue(counted, installed, CataloguePathsFor(profile, GetSystemDefaultLangID()),
                  profile.windowsName, fromDisk);
    std::printf("walk: %zu rows; %d folders asked for, %d listed, %d creations: "
                "at least %d FTP commands\n",
                fromDisk.Size(), counted.asked, counted.listed, counted.creations,
                counted.LeastFtpCommands());

    const int searches = _wtoi(argv[2]);
    for (int i = 0; i < searches; ++i) {
        ComponentList list;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        const SearchOutcome outcome = SearchCatalogue(list);
        QueryPerformanceCounter(&end);
        std::printf("search %d: %s, %zu rows, %.2f s\n", i + 1,
                    outcome == SearchOutcome::kFound ? "found" : "failed", list.Size(),
                    double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
        if (list.Size() != fromDisk.Size())
            return 1;
    }
    return 0;
}
