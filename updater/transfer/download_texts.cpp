#include "updater/transfer/download_texts.h"

namespace download_text {

const LocalizedText kConnectFailed = {L"서버에 접속할 수 없습니다.", L"Failed to connect to the server."};
const LocalizedText kFolderNotFound = {L"서버의 폴더를 찾을 수 없습니다.",
                                       L"Cannot find the folder in the server."};
const LocalizedText kOpenFailed = {L"서버의 파일을 열 수 없습니다.",
                                   L"Cannot open the file in the server."};
const LocalizedText kCreateFailed = {L"파일 생성에 실패했습니다.", L"Failed to create a file."};
const LocalizedText kReadFailed = {L"파일을 다운로드 중에 에러가 발생했습니다.",
                                   L"An error has occurred while downloading files."};
const LocalizedText kWriteFailed = {L"파일을 쓰는 중에 에러가 발생했습니다.",
                                    L"An error has occurred while writing files."};

const LocalizedText kDownloadingFiles = {L"파일을 다운로드합니다.", L"Downloading files."};
const LocalizedText kDownloadingPrefix = {L"다운로드: ", L"Downloading: "};

}  // namespace download_text

std::wstring DownloadStatusLine(const wchar_t *prefix, const std::wstring &sizeText,
                                const std::wstring &speedText) {
    std::wstring line = prefix + sizeText;
    if (!speedText.empty()) line += L" ( " + speedText + L" ) ";
    return line;
}
