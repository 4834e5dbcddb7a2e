#include "updater/wizard/page_texts.h"

const LocalizedText kSearchHeading = {L"업데이트할 구성요소를 검색중입니다.",
                                      L"Searching for components to be updated."};
const LocalizedText kSelectHeading = {L"업데이트할 구성요소를 선택하세요.",
                                      L"Select components to be updated."};
const LocalizedText kCheckAllText = {L"전체 업데이트 (관련된 모든 구성요소들을 업데이트합니다.)",
                                     L"Check All (Update all components.)"};
const LocalizedText kStartInstallText = {L"설치 시작", L"Start Install"};
const LocalizedText kCancelText = {L"취소", L"Cancel"};
const LocalizedText kCompleteText = {L"완료", L"Complete"};
const LocalizedText kNameColumn = {L"이름", L"Name"};
const LocalizedText kInstalledVersionColumn = {L"현재 버전", L"Installed Version"};
const LocalizedText kNewVersionColumn = {L"설치할 버전", L"New Version"};

std::wstring DeviceLine(const DeviceProfile &profile) {
    if (profile.modelSuffix.empty())
        return profile.modelName;
    return profile.modelName + L" " + profile.modelSuffix;
}
