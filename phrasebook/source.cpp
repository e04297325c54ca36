#include "phrasebook/source.h"

#include <fstream>
#include <sstream>

#include "platform/shell/codepage.h"

namespace phrasebook {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// True when text is well-formed UTF-8 (the conversion would otherwise hide bad bytes).
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra == 1 && b < 0xC2) || i + extra >= text.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

class Parser {
public:
    ParseResult Run(std::string_view text) {
        std::size_t pos = 0;
        int number = 0;
        while (pos <= text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            ++number;
            ParseLine(number, text.substr(pos, end - pos));
            pos = end + 1;
        }
        CloseGroup();
        return std::move(result_);
    }

private:
    void Error(int line, std::string message) {
        result_.errors.push_back({line, std::move(message)});
    }

    void CloseGroup() {
        if (openGroup_ && result_.source.groups.back().size == 0)
            Error(result_.source.groups.back().line, "a group head with no \"- \" variant lines");
        openGroup_ = false;
    }

    void ParseLine(int number, std::string_view raw) {
        std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') return;
        if (!IsUtf8(line)) {
            Error(number, "the line is not valid UTF-8");
            return;
        }
        Source& source = result_.source;
        if (line.front() == '@') {
            CloseGroup();
            ParseSection(number, Trim(line.substr(1)));
        } else if (line.front() == '+') {
            CloseGroup();
            std::string_view head = Trim(line.substr(1));
            if (head.empty()) Error(number, "a group head with no text");
            source.groups.push_back({shell::Utf8ToUtf16(head), number, source.phrases.size(), 0});
            openGroup_ = true;
        } else if (line.front() == '-') {
            if (!openGroup_) {
                Error(number, "a variant line (\"- \") with no group head (\"+ \") above it");
                return;
            }
            if (AddPhrase(number, Trim(line.substr(1)), static_cast<int>(source.groups.size() - 1)))
                ++source.groups.back().size;
        } else {
            CloseGroup();
            AddPhrase(number, line, -1);
        }
    }

    void ParseSection(int number, std::string_view names) {
        std::size_t cut = names.find(" / ");
        if (cut == std::string_view::npos) {
            Error(number, "a section line must read \"@ Category / Subcategory\"");
            return;
        }
        Source& source = result_.source;
        source.sections.push_back({std::string(Trim(names.substr(0, cut))),
                                   std::string(Trim(names.substr(cut + 3))), number,
                                   source.phrases.size(), 0});
    }

    bool AddPhrase(int number, std::string_view line, int group) {
        std::size_t cut = line.find(" = ");
        if (cut == std::string_view::npos) {
            Error(number, "a phrase line must read \"English = German\"");
            return false;
        }
        std::string_view english = Trim(line.substr(0, cut));
        std::string_view german = Trim(line.substr(cut + 3));
        if (english.empty() || german.empty()) {
            Error(number,
                  english.empty() ? "the English text is empty" : "the German text is empty");
            return false;
        }
        Source& source = result_.source;
        if (source.sections.empty()) {
            Error(number, "a phrase before the first \"@ Category / Subcategory\" line");
        } else {
            ++source.sections.back().count;
        }
        source.phrases.push_back(
            {shell::Utf8ToUtf16(english), shell::Utf8ToUtf16(german), number, group});
        return true;
    }

    ParseResult result_;
    bool openGroup_ = false;
};

}  // namespace

ParseResult ParseSource(std::string_view text) {
    return Parser().Run(text);
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return bytes.str();
}

std::string FormatDiagnostic(const std::filesystem::path& file, const Diagnostic& diagnostic) {
    std::string where = file.string();
    if (diagnostic.line > 0) where += ":" + std::to_string(diagnostic.line);
    return where + ": " + diagnostic.message;
}

}  // namespace phrasebook
