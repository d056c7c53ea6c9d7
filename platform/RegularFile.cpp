#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<QFile> OpenRegularFile(const QString& hostPath, bool unbuffered) {
  const QByteArray native = QFile::encodeName(hostPath);
  // Non-blocking, so that opening a pipe with no writer returns at once; checked afterwards.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  auto file = std::make_unique<QFile>(hostPath);
  QIODevice::OpenMode mode = QIODevice::ReadOnly;
  if (unbuffered) mode |= QIODevice::Unbuffered;
  if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    return nullptr;
  }
  return file;
}

bool IsRegularFile(const QString& hostPath) {
  struct stat st {};
  return ::stat(QFile::encodeName(hostPath).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace platform
