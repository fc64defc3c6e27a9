#include "app/saving.h"

#include "platform/file_replace.h"
#include "platform/text_helpers.h"

namespace spurlese {

platform::DialogResult ChooseFileToSave(const SaveDialog& dialog) {
    for (;;) {
        platform::DialogResult chosen = platform::ChooseSaveFile(dialog.title, dialog.proposedName,
                                                                 dialog.filter, dialog.filterIndex);
        if (chosen.outcome != platform::DialogOutcome::kChosen ||
            dialog.replace == ReplaceRule::kSilently ||
            platform::KindOfPath(chosen.path) != platform::PathKind::kFile)
            return chosen;
        const int answer =
            platform::ShowMessageBox(dialog.title,
                                     std::u16string(FileNamePart(chosen.path)) +
                                         u" ist bereits vorhanden.\nM\u00F6chten Sie sie ersetzen?",
                                     platform::kYesNoButtons | platform::kWarningIcon);
        if (answer == platform::kYesPressed) return chosen;
    }
}

SaveResult SaveThroughDialog(const SaveDialog& dialog,
                             const std::function<bool(std::string* bytes)>& makeBytes) {
    const platform::DialogResult chosen = ChooseFileToSave(dialog);
    SaveResult result;
    result.dialog = chosen.outcome;
    result.path = chosen.path;
    result.reason = chosen.reason;
    if (chosen.outcome != platform::DialogOutcome::kChosen) return result;
    std::string bytes;
    // Bytes that cannot be made whole (a text too large to convert) are not written in part.
    if (makeBytes(&bytes)) result.written = WriteFileReplacing(chosen.path, bytes);
    return result;
}

void TellSaveResult(const SaveResult& result, std::u16string_view title) {
    const std::u16string& path = result.path;
    std::u16string text;
    if (result.dialog == platform::DialogOutcome::kCancelled) return;
    if (result.dialog == platform::DialogOutcome::kFailed) {
        text = u"Das Fenster zum Speichern ließ sich nicht öffnen:\n" + result.reason;
    } else if (result.written.outcome == WriteOutcome::kWritten) {
        platform::ShowMessageBox(u"Success", u"The results where successfully saved.",
                                 platform::kInformationIcon);
        return;
    } else if (result.written.outcome == WriteOutcome::kWriteFailed) {
        text = u"Beim Schreiben von '" + path +
               u"' ist ein Fehler aufgetreten; vielleicht ist der Datenträger voll.\n"
               u"Eine vorhandene Datei dieses Namens ist unverändert.";
    } else if (result.written.outcome == WriteOutcome::kHalfReplaced) {
        text = u"Windows konnte die Datei '" + path +
               u"' nicht ersetzen. Es ist nichts verloren:\nDer neue Inhalt liegt in '" +
               result.written.kept.newFile + u"',\nder alte in '" + result.written.kept.oldFile +
               u"'.";
    } else {
        text = u"Die Datei '" + path +
               u"' ließ sich nicht schreiben. Vielleicht ist sie schreibgeschützt, von einem "
               u"anderen Programm geöffnet, oder der Ordner fehlt.\n"
               u"Eine vorhandene Datei dieses Namens ist unverändert.";
    }
    // Windows' own words for what went wrong, as they were when it failed.
    if (!result.written.reason.empty()) text += u"\n\nWindows meldet: " + result.written.reason;
    platform::ShowMessageBox(title, text, platform::kWarningIcon);
}

}  // namespace spurlese
