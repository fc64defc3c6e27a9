#include "app/copy_used_files.h"

#include <string>

#include "app/unread_projects.h"
#include "copy/file_copy.h"
#include "platform/file_replace.h"
#include "platform/platform.h"
#include "platform/text_helpers.h"

namespace spurlese {

namespace {

using copying::CopyStatus;

constexpr std::u16string_view kTitle = u"Verwendete Dateien kopieren";
constexpr int64_t kProgressSteps = 10000;  // the bar's range
constexpr size_t kUnreadShown = 5;         // unread project files named in a question

// One line of "Informationen" for a file that was not simply copied or found.
void TellOutcome(ResultsPage* page, const copying::CopySource& source,
                 const copying::FileOutcome& outcome) {
    using Kind = LineTarget::Kind;
    switch (outcome.status) {
        case CopyStatus::kCopied:
            page->Info(u"Kopiert '" + outcome.target + u"'", {Kind::kFile, outcome.target});
            return;
        case CopyStatus::kAlreadyThere:
            return;
        case CopyStatus::kStopped:
            page->Info(u"Angehalten, nicht kopiert: '" + source.path + u"'",
                       {Kind::kFile, source.path});
            return;
        case CopyStatus::kConflict:
            page->Info(
                u"Nicht kopiert, am Ziel liegt schon eine andere Datei: '" + outcome.target + u"'",
                {Kind::kFile, outcome.target});
            return;
        case CopyStatus::kFailed:
        case CopyStatus::kDiskFull:
            page->Info(u"Fehler beim Kopieren von '" + source.path + u"': " + outcome.reason,
                       {Kind::kFile, source.path});
            return;
    }
}

// The archive paths of the list an earlier copy left in the target whose copies are still there.
std::vector<std::u16string> EarlierCopies(const std::u16string& list, std::u16string_view basePath,
                                          const std::u16string& targetFolder) {
    std::string bytes;
    std::vector<std::u16string> earlier;
    if (!platform::ReadFileBytes(list, &bytes)) return earlier;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    const std::u16string text = platform::Utf8ToUtf16(bytes);
    const std::u16string prefix = platform::LowerCase(WithFinalBackslash(basePath));
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find(u"\r\n", from);
        if (end == std::u16string::npos) end = text.size();
        const std::u16string path = text.substr(from, end - from);
        from = end + 2;
        if (path.size() <= prefix.size() ||
            platform::LowerCase(path.substr(0, prefix.size())) != prefix)
            continue;
        if (platform::KindOfPath(targetFolder + path.substr(prefix.size())) ==
            platform::PathKind::kFile)
            earlier.push_back(path);
    }
    return earlier;
}

// The list of what the target holds, safely written into it: the files of earlier copies that
// are still there, then this copy's.
void WriteCopyList(ResultsPage* page, const copying::CopyPlan& plan,
                   const copying::CopySummary& summary, const ScanRecord& record) {
    const std::u16string_view basePath = record.inputs.basePath;
    const std::u16string path = plan.targetFolder + std::u16string(kCopyListName);
    std::vector<std::u16string> paths = EarlierCopies(path, basePath, plan.targetFolder);
    TextSet listed;
    for (const std::u16string& earlier : paths) listed.insert(platform::LowerCase(earlier));
    for (size_t k : summary.inTarget) {
        if (listed.insert(platform::LowerCase(plan.files[k].path)).second)
            paths.push_back(plan.files[k].path);
    }
    if (paths.empty() && record.unread.empty()) return;
    std::string bytes;
    if (!platform::ConvertUtf16ToUtf8(CopyListText(paths, record.unread), &bytes)) {
        page->Info(u"Die Liste '" + path + u"' lie\u00DF sich nicht schreiben: zu gro\u00DF");
        return;
    }
    const WriteResult written = WriteFileReplacing(path, "\xEF\xBB\xBF" + bytes);
    if (written.outcome != WriteOutcome::kWritten)
        page->Info(u"Die Liste '" + path + u"' lie\u00DF sich nicht schreiben: " + written.reason);
}

}  // namespace

copying::CopyPlan PlanUsedFiles(const ScanRecord& record, std::u16string_view targetFolder) {
    const UsedFiles used = record.Used();
    copying::CopyPlan plan = copying::PlanCopy(used.files, record.inputs.basePath, targetFolder);
    plan.outside.insert(plan.outside.end(), used.unresolved.begin(), used.unresolved.end());
    return plan;
}

std::u16string CopySummaryLine(const CopyCounts& counts, bool stopped, bool diskFull) {
    const std::u16string_view head = diskFull ? u"Kopieren abgebrochen, der Datenträger ist voll: "
                                     : stopped ? u"Kopieren angehalten: "
                                               : u"Kopieren beendet: ";
    return std::u16string(head) + Decimal(counts.copied) + u" kopiert, " +
           Decimal(counts.alreadyThere) + u" schon vorhanden, " + Decimal(counts.conflicts) +
           (counts.conflicts == 1 ? u" Konflikt, " : u" Konflikte, ") + Decimal(counts.failed) +
           u" fehlgeschlagen, " + Grouped(counts.bytes) + u" Bytes kopiert";
}

std::u16string CopyListText(const std::vector<std::u16string>& paths,
                            const std::vector<UnreadProject>& unread) {
    std::u16string text;
    for (const std::u16string& path : paths) text += path + u"\r\n";
    // Below an empty line, so that a later copy, which reads back the paths of the list, skips it.
    if (!unread.empty()) {
        text +=
            u"\r\nNicht gelesene Projektdateien (ihre Dateien k\u00F6nnen in der Kopie "
            u"fehlen):\r\n";
        for (const UnreadProject& project : unread)
            text += u"; " + project.projectFile + u": " + WhyUnread(project) + u"\r\n";
    }
    return text + u"\r\n" + std::u16string(kCopyListNote) + u"\r\n";
}

bool CopyUsedFiles(const ScanRecord& record, ResultsPage* page, std::u16string* lastTarget) {
    // Asked first: what only an unread show uses is missing from the copy.
    if (!record.unread.empty() &&
        platform::ShowMessageBox(
            kTitle,
            Decimal(static_cast<int64_t>(record.unread.size())) +
                (record.unread.size() == 1 ? u" Projektdatei wurde" : u" Projektdateien wurden") +
                u" nicht gelesen; Dateien, die nur diese Shows verwenden, fehlen in der Kopie:\n" +
                UnreadProjectLines(record, kUnreadShown) + u"\n\n" + std::u16string(kUnreadAdvice) +
                u"\n\nTrotzdem kopieren?",
            platform::kYesNoButtons | platform::kWarningIcon) != platform::kYesPressed)
        return false;
    const UsedFiles used = record.Used();
    if (used.files.empty() && used.unresolved.empty()) {
        platform::ShowMessageBox(kTitle,
                                 u"Die letzte Suche hat keine verwendeten Dateien gefunden.",
                                 platform::kInformationIcon);
        return false;
    }
    const platform::DialogResult chosen = platform::ChooseFolder(
        u"Ordner wählen, in den die verwendeten Dateien kopiert werden", *lastTarget);
    if (chosen.outcome == platform::DialogOutcome::kFailed) {
        platform::ShowMessageBox(
            kTitle, u"Das Fenster zur Wahl des Ordners ließ sich nicht öffnen:\n" + chosen.reason,
            platform::kWarningIcon);
    }
    if (chosen.outcome != platform::DialogOutcome::kChosen) return false;
    const std::u16string& base = record.inputs.basePath;
    if (copying::InsideArchive(chosen.path, base)) {
        platform::ShowMessageBox(
            kTitle,
            u"Der Ordner '" + chosen.path + u"' liegt im Archiv '" + base +
                u"'.\nDas Kopieren ändert im Archiv nichts. Bitte einen Ordner "
                u"außerhalb des Archivs wählen.",
            platform::kWarningIcon);
        return false;
    }
    *lastTarget = chosen.path;

    page->BeginWork();
    const copying::CopyPlan plan = PlanUsedFiles(record, chosen.path);
    page->Info(u"Kopieren nach '" + plan.targetFolder + u"': " +
               Decimal(static_cast<int64_t>(plan.files.size())) +
               (plan.files.size() == 1 ? u" Datei, " : u" Dateien, ") + Grouped(plan.totalBytes) +
               u" Bytes");
    for (const std::u16string& gone : plan.gone)
        page->Info(u"Nicht mehr da: '" + gone + u"'", {LineTarget::Kind::kNearestFolder, gone});
    for (const std::u16string& outside : plan.outside)
        page->Info(u"Nicht kopiert, der Pfad führt aus dem Archiv hinaus: '" + outside + u"'");
    page->ShowNow();

    BusyRequests requests;
    copying::CopyObserver observer;
    static_cast<WorkReport&>(observer) = page->Report(BusyWork::kCopy, &requests);
    // The bar's range is fixed: a byte count may pass what the bar takes (2^31).
    observer.progress = [page](int64_t done, int64_t total) {
        page->ShowProgress(total > 0 ? done * kProgressSteps / total : 0, kProgressSteps);
    };
    page->ShowProgress(0, kProgressSteps);
    observer.fileDone = [&](const copying::CopySource& source,
                            const copying::FileOutcome& outcome) {
        TellOutcome(page, source, outcome);
        return observer.Busy();
    };
    const copying::CopySummary summary = copying::RunCopy(plan, observer);
    WriteCopyList(page, plan, summary, record);
    const std::u16string line = CopySummaryLine(
        {summary.copied, summary.alreadyThere, summary.conflicts, summary.failed, summary.bytes},
        summary.stopped, summary.diskFull);
    page->Info(line);
    page->EndWork(summary.failed > 0 || summary.diskFull);
    if (summary.diskFull && !requests.quit) {
        platform::ShowMessageBox(
            kTitle,
            u"Auf dem Ziellaufwerk ist kein Platz mehr; das Kopieren wurde angehalten.\n" + line,
            platform::kWarningIcon);
    }
    return requests.quit;
}

}  // namespace spurlese
