#include "updater/catalogue/catalogue_texts.h"

namespace {

const LocalizedText kConnectFailed = {L"서버에 접속할 수 없습니다.", L"Failed to connect to the server."};
const LocalizedText kNothingFound = {L"업데이트할 구성요소가 없습니다.",
                                     L"No components were found to be updated."};

}  // namespace

const LocalizedText *SearchOutcomeMessage(SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::kConnectFailed: return &kConnectFailed;
    case SearchOutcome::kNothingFound: return &kNothingFound;
    default: return nullptr;
    }
}
