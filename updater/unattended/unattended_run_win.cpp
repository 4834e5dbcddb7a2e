#include "updater/unattended/unattended_run_win.h"

#include "common/message_window_win.h"
#include "updater/catalogue/catalogue_search_win.h"
#include "updater/catalogue/catalogue_texts.h"

namespace {

std::wstring RowLine(const ComponentRow &row) {
    return row.name + L": installed " + row.installedVersion + L", offered " + row.newVersion +
           (row.checked ? L" (newer)" : L"");
}

}  // namespace

CUnattendedRun::CUnattendedRun(StartMode mode, CRunLogFile &log)
    : m_mode(mode), m_log(log),
      m_notices([this](UINT message, WPARAM wParam, LPARAM lParam) {
          return OnNotice(message, wParam, lParam);
      }) {
    AttachWorkers(m_notices.Window(), nullptr, nullptr);
    SetQuietInstallers(true);
}

// The workers end before the window their notices go to.
CUnattendedRun::~CUnattendedRun() { StopWorkers(); }

int CUnattendedRun::Run() {
    m_log.Write(m_mode == StartMode::kList ? L"Listing the update catalogue."
                                           : L"Unattended update started.");
    ComponentList rows;
    const SearchOutcome outcome = SearchCatalogue(rows);
    if (outcome == SearchOutcome::kConnectFailed) {
        m_log.Write(PickText(*SearchOutcomeMessage(outcome), 0));
        return kExitNoCatalogue;
    }
    for (const ComponentRow &row : rows.Rows())
        m_log.Write(RowLine(row));
    if (m_mode == StartMode::kList) {
        if (rows.Empty())
            m_log.Write(PickText(*SearchOutcomeMessage(SearchOutcome::kNothingFound), 0));
        return kExitDone;
    }
    return Install(rows);
}

int CUnattendedRun::Install(const ComponentList &rows) {
    std::vector<PackageList> newer;
    for (const ComponentRow &row : rows.Rows())
        if (row.checked && row.packages)
            newer.push_back(*row.packages);
    if (!m_notices.Window() || !StartRun(std::move(newer))) {
        m_log.Write(L"Nothing to update.");
        return kExitDone;
    }
    MSG message;
    while (!m_ended && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return m_end == RunEnd::kComplete ? kExitDone : kExitRowsFailed;
}

void CUnattendedRun::AppendLog(const std::wstring &text) {
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        m_log.Write(text.substr(start, end - start));
    if (start < text.size())
        m_log.Write(text.substr(start));
}

void CUnattendedRun::Ended(RunEnd end) {
    m_end = end;
    m_ended = true;
    PostMessageW(m_notices.Window(), WM_NULL, 0, 0);  // wakes the loop
}
