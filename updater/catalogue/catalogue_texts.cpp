#include "updater/catalogue/catalogue_texts.h"

namespace {

const LocalizedText kConnectFailed = {L"서버에 접속할 수 없습니다.", L"Failed to connect to the server."};
const LocalizedText kNothingFound = {L"업데이트할 구성요소가 없습니다.",
                                     L"No components were found to be updated."};

const LocalizedText kNotSigned = {
    L"업데이트 목록이 제조사의 서명과 맞지 않아 업데이트를 제공할 수 없습니다.",
    L"The update list does not carry the maker's signature: no updates can be offered."};

}  // namespace

const LocalizedText *SearchOutcomeMessage(SearchOutcome outcome) {
    switch (outcome) {
    case SearchOutcome::kConnectFailed: return &kConnectFailed;
    case SearchOutcome::kNothingFound: return &kNothingFound;
    case SearchOutcome::kNotSigned: return &kNotSigned;
    default: return nullptr;
    }
}
