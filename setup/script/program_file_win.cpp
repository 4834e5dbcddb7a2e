#include "setup/script/program_file.h"

#include "common/kernel_handle_win.h"
#include "common/system_folders.h"

namespace {

CKernelHandle &ProgramFile() {
    static CKernelHandle file;
    return file;
}

}  // namespace

bool OpenProgramFile() {
    if (ProgramFile()) return true;
    ProgramFile().Reset(CreateFileW(GetProgramFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(ProgramFile());
}

HANDLE ProgramFileHandle() { return ProgramFile().Get(); }
