#pragma once
// TMappedFile: the whole content of a file as one read-only block of bytes, for parsers that look
// at a file piece by piece. The file is mapped into memory (one system call; pages come from the
// page cache without a copy), or read whole where the file system refuses a mapping. Only regular
// files are accepted: a pipe or device could feed bytes without end.
// The bytes stay valid until the object goes away. Another program truncating the file while it
// is mapped is not guarded against.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

namespace qv {

class TMappedFile {
 public:
  // Raises std::runtime_error("cannot open the file: <reason>") or ("cannot read the file: ...");
  // the caller adds the file's name.
  explicit TMappedFile(const std::filesystem::path& path);
  ~TMappedFile();
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  void* mapping_ = nullptr;          // the mapping, when mapped
  std::unique_ptr<uint8_t[]> read_;  // the bytes, when read
};

}  // namespace qv
