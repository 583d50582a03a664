#include "platform/MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace qv {

namespace {

std::runtime_error Failure(const char* what) {
  return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

TMappedFile::TMappedFile(const std::filesystem::path& path) {
  // Not blocking: a level may name a FIFO, whose open would wait for a writer that never comes.
  // A regular file ignores the flag; anything else is refused below.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw Failure("cannot open the file");
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const auto error = Failure("cannot read the file");
    ::close(fd);
    throw error;
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    throw std::runtime_error(S_ISDIR(info.st_mode) ? "cannot open the file: it is a folder"
                                                   : "cannot open the file: not a regular file");
  }
  size_ = static_cast<size_t>(info.st_size);
  if (size_ == 0) {
    ::close(fd);
    return;
  }
  void* mapping = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (mapping != MAP_FAILED) {
    ::close(fd);
    mapping_ = mapping;
    data_ = static_cast<const uint8_t*>(mapping);
    return;
  }
  // Not mappable (some file systems refuse): read it whole instead.
  read_ = std::make_unique_for_overwrite<uint8_t[]>(size_);
  size_t done = 0;
  while (done < size_) {
    const ssize_t got = ::read(fd, read_.get() + done, size_ - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      const auto error = got < 0 ? Failure("cannot read the file")
                                 : std::runtime_error("cannot read the file: it ended early");
      ::close(fd);
      throw error;
    }
    done += static_cast<size_t>(got);
  }
  ::close(fd);
  data_ = read_.get();
}

TMappedFile::~TMappedFile() {
  if (mapping_) ::munmap(mapping_, size_);
}

}  // namespace qv
