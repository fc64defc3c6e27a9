#include "platform/headless/headless.h"
#include "program/program.h"
#include "tests/support/stand_in_programs.h"
#include "tests/support/test_platform.h"

namespace spurlese {

namespace testsupport {

void ResetForTest() {
    headless::ResetPlatform();
    ResetProgramLists();
    headless::MakeFolder(u"D:\\");
}

const char* PlatformName() {
    return "headless";
}

bool MakeTestFolder(std::u16string_view path) {
    return headless::MakeFolder(path);
}

bool MakeTestFile(std::u16string_view path, std::string_view bytes, bool hidden) {
    return headless::MakeFile(path, bytes, hidden ? platform::kHidden : 0u);
}

bool MakeHardLink(std::u16string_view path, std::u16string_view existing) {
    return headless::MakeHardLink(path, existing);
}

bool SetLastWriteTime(std::u16string_view path, int64_t lastWrite) {
    headless::SetLastWrite(path, lastWrite);
    return true;
}

void SetWorkingDirectory(std::u16string_view path) {
    headless::SetCurrentDirectory(path);
}

bool InstallExtractor(std::u16string_view folder, ExtractorKind kind) {
    const std::u16string program = std::u16string(folder) + u"strings64.exe";
    if (kind == ExtractorKind::Refusing) {
        return headless::InstallProgramWithErrors(
            program, [](std::u16string_view, std::string*, std::string* errors) {
                *errors = kRefusal;
                return 1;
            });
    }
    return headless::InstallProgram(
        program, kind == ExtractorKind::Strings ? StringsProgram() : CatProgram());
}

void HoldFileOpen(std::u16string_view path, bool hold) {
    headless::SetUnwritable(path, hold);
    headless::SetUnreadable(path, hold);
}

void HoldFileOpenFor(std::u16string_view path, int milliseconds) {
    headless::HoldFor(path, milliseconds);
}

uint32_t OtherRunningProcessId() {
    headless::SetRunningProcessIds({4242});
    return 4242;
}

bool InsertionPointInView(int control) {
    return headless::InsertionPointInView(control);
}

}  // namespace testsupport

}  // namespace spurlese
