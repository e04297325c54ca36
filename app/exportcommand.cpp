#include "app/exportcommand.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "export/exportfile.h"
#include "export/phraseset.h"
#include "platform/shell/codepage.h"

namespace {

struct ExportRequest {
    std::string file;
    exporting::ExportScope scope;
};

int Misfit(const std::string& why, const char* usage) {
    std::fprintf(stderr, "tolkara-german: %s\n%s", why.c_str(), usage);
    return 2;
}

std::optional<unsigned> CategoryNumber(std::string_view text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    unsigned n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    if (n < 1 || n > 10) return std::nullopt;
    return n;
}

int Fail(std::u16string_view why) {
    std::fprintf(stderr, "tolkara-german: %s\n", shell::Utf16ToUtf8(why).c_str());
    return 1;
}

}  // namespace

bool AsksForExport(const std::vector<std::string_view>& args) {
    for (std::string_view arg : args)
        if (arg == "--export" || arg.starts_with("--export=")) return true;
    return false;
}

int RunExportCommand(const std::vector<std::string_view>& args, const char* usage) {
    ExportRequest request;
    bool scopeGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const auto value = [&](std::string_view name) -> std::optional<std::string_view> {
            if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
                return arg.substr(name.size() + 1);
            if (arg == name && i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        if (arg == "--all") {
            if (scopeGiven) return Misfit("give either --category N or --all, once", usage);
            request.scope = exporting::ExportScope::All();
            scopeGiven = true;
        } else if (arg == "--category" || arg.starts_with("--category=")) {
            const auto text = value("--category");
            const auto n = text ? CategoryNumber(*text) : std::nullopt;
            if (!n) return Misfit("--category takes a category number from 1 to 10", usage);
            if (scopeGiven) return Misfit("give either --category N or --all, once", usage);
            request.scope = exporting::ExportScope::Category(*n);
            scopeGiven = true;
        } else if (arg == "--export" || arg.starts_with("--export=")) {
            const auto file = value("--export");
            if (!file || file->empty()) return Misfit("--export needs a file name", usage);
            if (!request.file.empty()) return Misfit("give --export once", usage);
            request.file = std::string(*file);
        } else {
            return Misfit("unknown option with --export '" + std::string(arg) + "'", usage);
        }
    }
    const std::filesystem::path file = request.file;
    if (!exporting::FormatOf(file))
        return Fail(u"can't export to " + shell::Utf8ToUtf16(file.filename().string()) +
                    u": the name must end in .apkg, .csv or .pdf.");
    const exporting::PhraseSet set = exporting::CollectPhrases(".", request.scope);
    if (!set.problem.empty()) return Fail(set.problem);
    if (set.skipped > 0)
        std::fprintf(stderr,
                     "tolkara-german: %d damaged or repeated favourite record(s) left out\n",
                     set.skipped);
    if (const exporting::WriteResult result = exporting::ExportToFile(file, set.phrases);
        !result.ok)
        return Fail(result.message);
    std::error_code error;
    const std::filesystem::path written = std::filesystem::absolute(file, error);
    std::printf("%s\n", (error ? file : written).c_str());
    return 0;
}
