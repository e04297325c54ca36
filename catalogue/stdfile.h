// An owned C stdio stream: closed when the owner goes away.
//
// The catalogue's files are buffered streams opened by name with fopen modes ("rb", "wb",
// "a+b"), as their formats were designed around; this type only adds ownership and a few
// record-sized reads and writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace catalogue {

class StdFile {
public:
    StdFile() = default;
    // Closed when fopen fails or name is a directory.
    static StdFile Open(const std::filesystem::path& name, const char* mode);

    explicit operator bool() const { return file_ != nullptr; }
    std::FILE* get() const { return file_.get(); }
    void Close() { file_.reset(); }

    // Reads exactly size bytes; false (and nothing promised about buf) on a short read.
    bool ReadExact(void* buf, std::size_t size);
    bool WriteAll(const void* buf, std::size_t size);
    bool Seek(std::int64_t offset);
    // The stream's size in bytes, found by seeking to its end; the position is restored.
    std::optional<std::int64_t> Size();

    template <typename Record>
    std::optional<Record> ReadRecord() {
        std::uint8_t bytes[Record::Size];
        if (!ReadExact(bytes, sizeof bytes)) return std::nullopt;
        return Record::Decode(bytes);
    }

    template <typename Record>
    bool WriteRecord(const Record& record) {
        auto bytes = record.Encode();
        return WriteAll(bytes.data(), bytes.size());
    }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace catalogue
