// The command line of a setup package: "/S" and NSIS's "/D=path".
#include <gtest/gtest.h>

#include <string>

#include "setup/wizard/silent_options.h"

namespace {

struct OptionCase {
    const wchar_t *arguments;
    bool silent, understood, hasDestination;
    const wchar_t *destination;
};

TEST(ParseSetupOptions, ReadsSilentAndTheDestination) {
    const OptionCase cases[] = {
        {L"", false, true, false, L""},
        {L"/S", true, true, false, L""},
        {L"  /s  ", true, true, false, L""},
        {L"/S /D=C:\\Program Files\\marbo Viewer", true, true, true, L"C:\\Program Files\\marbo Viewer"},
        // The destination is the rest of the line: blanks, "/S" and all, trailing blanks dropped.
        {L"/S /D=D:\\My Apps /S  ", true, true, true, L"D:\\My Apps /S"},
        {L"/d=C:\\x\t/S", false, true, true, L"C:\\x\t/S"},
        {L"/S /D=", true, true, true, L""},
        // Without "/S" the wizard opens as always, whatever else the line holds.
        {L"/X /D=C:\\x", false, true, true, L"C:\\x"},
        {L"/Silent", false, true, false, L""},
        // Next to "/S", an option the program does not know is refused.
        {L"/S /X", true, false, false, L""},
        {L"/S/D=C:\\x", false, true, false, L""},
        {L"\"/S\"", false, true, false, L""},
    };
    for (const OptionCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        const SetupOptions options = ParseSetupOptions(c.arguments);
        EXPECT_EQ(options.silent, c.silent);
        EXPECT_EQ(options.understood, c.understood);
        EXPECT_EQ(options.hasDestination, c.hasDestination);
        EXPECT_EQ(options.destination, c.destination);
    }
}

TEST(SilentDestination, AcceptsOnlyFullyQualifiedFolders) {
    const std::pair<const wchar_t *, const wchar_t *> cases[] = {
        {L"C:\\Apps\\Viewer", L"C:\\Apps\\Viewer"},
        // A trailing "\" would keep the uninstaller from knowing its folder.
        {L"C:\\Apps\\Viewer\\\\", L"C:\\Apps\\Viewer"},
        {L"c:/Apps//Viewer", L"c:\\Apps\\Viewer"},
        {L"\\\\server\\share\\Viewer", L"\\\\server\\share\\Viewer"},
        {L"\\\\server\\share", L"\\\\server\\share"},
        {L"\\\\server", L""},
        {L"C:\\", L""},
        {L"C:", L""},
        {L"C:Viewer", L""},
        {L"Viewer", L""},
        {L"\\Viewer", L""},
        {L"\"C:\\Apps\"", L""},
        {L"", L""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        EXPECT_EQ(SilentDestination(c.first), c.second);
    }
}

}  // namespace
