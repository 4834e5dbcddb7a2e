// machine-snapshot OUT: writes what TakeMachineSnapshot sees, one entry a line
// in UTF-8 and in order, so that a script can compare two with diff.
#include <cstdio>

#include "tests/harness/machine_snapshot_win.h"
#include "tests/harness/utf8_win.h"

int wmain(int argc, wchar_t **argv) {
    if (argc != 2) {
        std::fputs("usage: machine-snapshot OUT\n", stderr);
        return 2;
    }
    FILE *out = _wfopen(argv[1], L"wb");
    if (!out) {
        std::fputs("machine-snapshot: cannot write the output file\n", stderr);
        return 1;
    }
    for (const std::wstring &entry : TakeMachineSnapshot()) {
        const std::string line = Utf8(entry) + "\n";
        std::fwrite(line.data(), 1, line.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
