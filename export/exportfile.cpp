#include "export/exportfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "export/apkgwriter.h"
#include "export/csvwriter.h"
#include "export/pdfwriter.h"
#include "export/phraseset.h"
#include "platform/shell/codepage.h"

namespace exporting {
namespace {

std::u16string Text(const std::filesystem::path& path) {
    return shell::Utf8ToUtf16(path.string());
}

std::u16string SystemError(int error) {
    return shell::Utf8ToUtf16(std::strerror(error));
}

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// A scratch name beside target that no one else uses: made (as an empty file, or a folder)
// by the call. Empty, with the system's reason in error, when the folder takes no new entry.
std::filesystem::path MakeScratch(const std::filesystem::path& target, bool folder, int& error) {
    std::string pattern =
        (FolderOf(target) / ("." + target.filename().string() + ".part-XXXXXX")).string();
    if (folder) {
        if (mkdtemp(pattern.data()) == nullptr) {
            error = errno;
            return {};
        }
    } else {
        const int fd = mkstemp(pattern.data());
        if (fd < 0) {
            error = errno;
            return {};
        }
        ::close(fd);
    }
    return pattern;
}

// The scratch entry, removed when it goes unless Keep was called.
class Scratch {
public:
    explicit Scratch(std::filesystem::path path) : path_(std::move(path)) {}
    ~Scratch() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::filesystem::path path_;
};

// Gives the written file the usual permissions and puts its bytes on the disk.
bool Settle(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Puts the whole new folder in the old one's place: the old one is set aside first and
// removed only once the new one is in.
WriteResult ReplaceFolder(Scratch& fresh, const std::filesystem::path& folder) {
    std::error_code error;
    const bool hadOld = std::filesystem::exists(std::filesystem::symlink_status(folder, error));
    std::filesystem::path aside;
    if (hadOld) {
        int why = 0;
        aside = MakeScratch(folder, true, why);
        if (aside.empty() || ::rename(folder.c_str(), aside.c_str()) != 0)
            return WriteResult::Failed(u"Can't replace " + Text(folder) + u": " +
                                       SystemError(aside.empty() ? why : errno));
    }
    if (::rename(fresh.Path().c_str(), folder.c_str()) != 0) {
        const int why = errno;
        if (hadOld) ::rename(aside.c_str(), folder.c_str());
        return WriteResult::Failed(u"Can't write " + Text(folder) + u": " + SystemError(why));
    }
    fresh.Keep();
    if (hadOld) std::filesystem::remove_all(aside, error);
    return WriteResult::Done();
}

}  // namespace

std::optional<ExportFormat> FormatOf(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (extension == ".apkg") return ExportFormat::Apkg;
    if (extension == ".csv") return ExportFormat::Csv;
    if (extension == ".pdf") return ExportFormat::Pdf;
    return std::nullopt;
}

std::filesystem::path CsvMediaFolder(const std::filesystem::path& csvFile) {
    return FolderOf(csvFile) / (csvFile.stem().string() + "_media");
}

WriteResult ExportToFile(const std::filesystem::path& file, std::span<const ExportPhrase> phrases) {
    const std::optional<ExportFormat> format = FormatOf(file);
    if (!format)
        return WriteResult::Failed(u"Can't export to " + Text(file.filename()) +
                                   u": the name must end in .apkg, .csv or .pdf.");
    if (phrases.empty()) return WriteResult::Failed(std::u16string(NothingToExport));
    int why = 0;
    Scratch scratch(MakeScratch(file, false, why));
    if (scratch.Path().empty())
        return WriteResult::Failed(u"Can't write in the folder " + Text(FolderOf(file)) + u": " +
                                   SystemError(why));

    WriteResult written;
    std::optional<Scratch> clips;
    switch (*format) {
        case ExportFormat::Apkg:
            written = WriteApkg(scratch.Path(), phrases);
            break;
        case ExportFormat::Pdf:
            written = WritePdf(scratch.Path(), phrases);
            break;
        case ExportFormat::Csv:
            clips.emplace(MakeScratch(CsvMediaFolder(file), true, why));
            if (clips->Path().empty())
                return WriteResult::Failed(u"Can't write in the folder " + Text(FolderOf(file)) +
                                           u": " + SystemError(why));
            written = WriteCsv(scratch.Path(), clips->Path(), phrases);
            break;
    }
    if (!written.ok) return written;
    if (!Settle(scratch.Path()))
        return WriteResult::Failed(u"Can't write " + Text(file) + u": " + SystemError(errno));
    if (clips) {
        ::chmod(clips->Path().c_str(), 0755);
        if (WriteResult replaced = ReplaceFolder(*clips, CsvMediaFolder(file)); !replaced.ok)
            return replaced;
    }
    if (::rename(scratch.Path().c_str(), file.c_str()) != 0)
        return WriteResult::Failed(u"Can't write " + Text(file) + u": " + SystemError(errno));
    scratch.Keep();
    SyncFolder(FolderOf(file));
    return WriteResult::Done();
}

}  // namespace exporting
