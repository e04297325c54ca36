// Exporting the favourites from the window: "Tolkara German favourites.apkg" and ".pdf" in the
// user's documents folder, then a message that names both (or says why there are none).
#include "app/skindlg.h"
#include "catalogue/phrasemap.h"
#include "export/documentsfolder.h"
#include "export/exportfile.h"
#include "export/phraseset.h"
#include "platform/shell/codepage.h"

void CSkinDlg::ExportFavourites() {
    const exporting::PhraseSet set =
        exporting::CollectPhrases(".", exporting::ExportScope::Favourites());
    if (!set.problem.empty()) {
        ShowMessage(set.problem, Title);
        return;
    }
    const std::filesystem::path folder = exporting::DocumentsFolder();
    std::u16string written;
    for (const char* name : {"Tolkara German favourites.apkg", "Tolkara German favourites.pdf"}) {
        const std::filesystem::path file = folder / name;
        if (const exporting::WriteResult result = exporting::ExportToFile(file, set.phrases);
            !result.ok) {
            ShowMessage(result.message, Title);
            return;
        }
        written += u"\n" + shell::Utf8ToUtf16(file.string());
    }
    if (set.skipped > 0)
        written += u"\n(" + catalogue::DecimalText(set.skipped) +
                   u" damaged or repeated favourite record(s) left out)";
    ShowMessage(u"The favourites are exported to:" + written, Title);
}
