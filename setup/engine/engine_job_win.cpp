#include "setup/engine/engine_job_win.h"

#include "setup/engine/engine_control_win.h"
#include "common/progress_position.h"
#include "common/zip/zip_error.h"
#include "setup/script/program_file.h"
#include "setup/script/setup_startup.h"
#include "setup/script/value_escaping.h"

EngineChannel::EngineChannel(CEngineControl &owner, CWorkerThread &worker)
    : owner_(owner), worker_(worker) {}

void EngineChannel::BeginProgress() {
    position_ = 0;
    owner_.position_.Set(0);
    worker_.NotifyProgress(kWorkerProgress);
}

void EngineChannel::Progress(double done, double total) {
    int position = ProgressPosition(done, total);
    if (position == position_) return;
    position_ = position;
    owner_.position_.Set(position);
    worker_.NotifyProgress(kWorkerProgress);
}

void EngineChannel::ItemChanged(const std::wstring &text) {
    owner_.itemText_.Set(text);
    worker_.NotifyProgress(kWorkerProgress);
}

void EngineChannel::PayloadOpened() { owner_.payloadRead_.Set(true); }

void EngineChannel::Finished() { worker_.NotifyEnd(kWorkerFinished); }

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
