#include "catalogue/stdfile.h"

#include <sys/stat.h>

namespace catalogue {

StdFile StdFile::Open(const std::filesystem::path& name, const char* mode) {
    StdFile f;
    f.file_.reset(std::fopen(name.c_str(), mode));
    // A directory opens for reading on this system but holds no bytes: it is no file here.
    struct stat st {};
    if (f.file_ && (fstat(fileno(f.file_.get()), &st) != 0 || S_ISDIR(st.st_mode))) f.Close();
    return f;
}

bool StdFile::ReadExact(void* buf, std::size_t size) {
    return file_ && (size == 0 || std::fread(buf, 1, size, file_.get()) == size);
}

bool StdFile::WriteAll(const void* buf, std::size_t size) {
    return file_ && (size == 0 || std::fwrite(buf, 1, size, file_.get()) == size);
}

bool StdFile::Seek(std::int64_t offset) {
    return file_ && offset >= 0 && fseeko(file_.get(), static_cast<off_t>(offset), SEEK_SET) == 0;
}

std::optional<std::int64_t> StdFile::Size() {
    if (!file_) return std::nullopt;
    off_t here = ftello(file_.get());
    if (here < 0 || fseeko(file_.get(), 0, SEEK_END) != 0) return std::nullopt;
    off_t end = ftello(file_.get());
    fseeko(file_.get(), here, SEEK_SET);
    if (end < 0) return std::nullopt;
    return static_cast<std::int64_t>(end);
}

}  // namespace catalogue
