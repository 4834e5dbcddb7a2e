#include "updater/transfer/extract_texts.h"

#include "common/size_text.h"

const LocalizedText kCannotOpenInstallationFiles = {
    L"설치 파일을 열 수 없습니다.",
    L"Cannot open installation files.",
};

const LocalizedText kCopyingInstallationFilesFailed = {
    L"설치 파일을 복사하는 중에 에러가 발생했습니다.",
    L"An error has occurred while copying installation files.",
};

std::wstring DiskSpaceMessage(double totalBytes, unsigned short langId) {
    const std::wstring size = FormatSize(totalBytes);
    if (langId == kKoreanLangId)
        return L"설치 파일을 복사하기 위해서는 최소 " + size + L"의 Disk 공간이 필요합니다.";
    return L"In order to copy installation files, disk space of at least " + size + L" is needed.";
}
