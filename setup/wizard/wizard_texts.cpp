#include "setup/wizard/wizard_texts.h"

namespace wizard_text {

const wchar_t kFrameCaptionPrefix[] = L"Setup Wizard : ";
const wchar_t kBoxCaption[] = L"Setup Wizard";
const wchar_t kBrowseTitle[] = L"Select a Folder";

const LocalizedText kPrev = {L"이전", L"Prev"};
const LocalizedText kNext = {L"다음", L"Next"};
const LocalizedText kInstall = {L"설치", L"Install"};
const LocalizedText kUninstall = {L"제거", L"Uninstall"};
const LocalizedText kComplete = {L"완료", L"Complete"};
const LocalizedText kCancel = {L"취소", L"Cancel"};

const LocalizedText kInstallWelcome = {
    L" \r\n\r\n 지금 프로그램을 설치하려고 합니다.\r\n\r\n 작업을 계속 진행하려면 '다음'을, "
    L"중단하려면 '취소' 버튼을 클릭하십시오.\r\n",
    L" \r\n\r\n This Wizard will guide you through the installation of the software.\r\n\r\n "
    L"Click 'Next' to continue or Click 'Cancel' to finish.\r\n"};
const LocalizedText kUninstallWelcome = {
    L" \r\n\r\n 지금 프로그램을 제거하려고 합니다.\r\n\r\n 작업을 계속 진행하려면 '제거'를, "
    L"중단하려면 '취소' 버튼을 클릭하십시오.\r\n",
    L" \r\n\r\n This Wizard will guide you through the uninstallation of the software.\r\n\r\n "
    L"Click 'Uninstall' to continue or Click 'Cancel' to finish.\r\n"};

const LocalizedText kDestinationHeader = {
    L" 설치할 폴더 선택\r\n 프로그램을 설치할 폴더를 선택해 주세요.",
    L" Choose the Destination Folder\r\n Choose the folder in which to install the software."};
const LocalizedText kDestinationNote = {
    L" 아래의 폴더로 프로그램을 설치합니다.\r\n\r\n 설치를 계속하려면 '설치'을, 다른 폴더를 "
    L"선택하려면 '찾아보기'를 클릭하십시오.",
    L" Setup will install the software in the following folder.\r\n\r\n To install in a "
    L"different folder, click 'Browse'. Click 'Install' to continue."};
const LocalizedText kDestinationGroup = {L"설치 폴더", L"Destination Folder"};
const LocalizedText kBrowse = {L"찾아보기", L"Browse"};
const LocalizedText kSpaceRequired = {L"필요한 디스크 공간:", L"Space required:"};
const LocalizedText kSpaceAvailable = {L"남은 디스크 공간:", L"Space available:"};
// Shown for the free space when the volume cannot be asked.
const LocalizedText kSpaceUnknown = {L"알 수 없음", L"Unknown"};

const LocalizedText kInstallingHeader = {
    L" 설치중\r\n 프로그램을 설치하는 중입니다. 잠시만 기다려 주십시오.",
    L" Installing\r\n Please wait while the software is being installed."};
const LocalizedText kUninstallingHeader = {
    L" 제거중\r\n 프로그램을 제거하는 중입니다. 잠시만 기다려 주십시오.",
    L" Uninstalling\r\n Please wait while the software is being uninstalled."};
const LocalizedText kFolderLabel = {L"폴더:", L"Folder:"};
const LocalizedText kInstallingItemLabel = {L"설치 중인 항목:", L"Installing item:"};
const LocalizedText kUninstallingItemLabel = {L"삭제 중인 항목:", L"Show details:"};

const LocalizedText kInstallCompletedHeader = {
    L" 설치 완료\r\n 마르보 제품을 이용해 주셔서 진심으로 감사드립니다.",
    L" Installation Completed\r\n Thanks for using the marbo software."};
const LocalizedText kUninstallCompletedHeader = {
    L" 제거 완료\r\n 마르보 제품을 이용해 주셔서 진심으로 감사드립니다.",
    L" Uninstallation Completed\r\n Thanks for using the marbo software."};

const LocalizedText kQuitInstall = {
    L"설치가 완전하게 끝나지 않았습니다.\n\n지금 종료하면 프로그램이 설치되지 않을 것입니다."
    L"\n\n설치를 중단하시겠습니까?",
    L"The installation has been finished yet.\n\nif you quit now, the software will not be "
    L"installed.\n\nDo you want to quit the installation?"};
const LocalizedText kQuitUninstall = {
    L"제거가 완전하게 끝나지 않았습니다.\n\n지금 종료하면 프로그램이 제거되지 않을 것입니다."
    L"\n\n설치를 중단하시겠습니까?",
    L"The uninstallation has been finished yet.\n\nif you quit now, the software will not be "
    L"uninstalled.\n\nDo you want to quit the uninstallation?"};
const LocalizedText kRestart = {
    L"설치를 완료하기 위해서는 시스템을 재시작해야 합니다.\n\n지금 시스템을 재시작하시겠습니까?",
    L"To complete installation, system must be restarted.\n\nRestart system now?"};

}  // namespace wizard_text
