#include "setup/engine/engine_job_win.h"

#include <commctrl.h>

#include "setup/engine/engine_control_win.h"
#include "common/progress_position.h"
#include "common/zip/zip_error.h"
#include "setup/script/program_file.h"
#include "setup/script/setup_startup.h"
#include "setup/script/value_escaping.h"

EngineChannel::EngineChannel(CEngineControl &owner, HWND bar, CWorkerThread &worker)
    : owner_(owner), bar_(bar), worker_(worker) {}

void EngineChannel::BeginProgress() {
    position_ = 0;
    if (!bar_) return;
    SendMessageW(bar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    SendMessageW(bar_, PBM_SETPOS, 0, 0);
}

void EngineChannel::Progress(double done, double total) {
    int position = ProgressPosition(done, total);
    if (position == position_) return;
    position_ = position;
    if (bar_) SendMessageW(bar_, PBM_SETPOS, WPARAM(position), 0);
}

void EngineChannel::ItemChanged(const std::wstring &text) {
    owner_.itemText_.Set(text);
    worker_.NotifyProgress(0);
}

void EngineChannel::Finished() { worker_.NotifyEnd(1); }

std::wstring SetupEngineJob::Expand(const std::wstring &text) const {
    return UnescapeValue(ExpandFolderTokens(text, folders_));
}

std::unique_ptr<PayloadReader> SetupEngineJob::OpenPayload(const wchar_t *identifier) {
    HANDLE file = ProgramFileHandle();
    if (!package_.empty()) {
        packageFile_.Reset(CreateFileW(package_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        file = packageFile_.Get();
    }
    if (!LocatePayloadIn(file, identifier).found) return nullptr;
    try {
        return OpenPayloadArchive(file);
    } catch (const CZipException &) {
        return nullptr;
    }
}
