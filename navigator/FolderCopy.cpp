#include "navigator/FolderCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <array>
#include <cmath>
#include <filesystem>
#include <system_error>


#include "common/Messages.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"

namespace {

namespace fs = std::filesystem;
using platform::FindEntry;

// Files the file phase copies: hidden ones are not seen, read-only and system ones are.
constexpr uint32_t kFileSearch = platform::faReadOnly | platform::faSysFile | platform::faArchive;
// Folders the folder phase descends into: hidden and system folders are not seen.
constexpr uint32_t kFolderSearch = platform::faDirectory | kFileSearch;

fs::path FsPath(const QString& host) {
  return fs::path(QFile::encodeName(host).toStdString());
}

QString CannotOpen(const QString& source) {
  return QStringLiteral("O arquivo %1 não pode ser aberto.").arg(source);
}

[[noreturn]] void CannotCreate(const QString& destination) {
  ShowAppMessage(34, destination);
  throw ECopyError(QStringLiteral("O arquivo %1 não pode ser criado.").arg(destination));
}

// A fresh hidden file beside the target, opened for writing; never an existing one.
std::unique_ptr<QFile> CreateTemporary(const QString& hostFolder) {
  for (int attempt = 0; attempt < 32; ++attempt) {
    const QString name = QStringLiteral("/.~qxcopy%1.tmp")
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto file = std::make_unique<QFile>(hostFolder + name);
    if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) return file;
    if (QFileInfo::exists(file->fileName())) continue;  // taken: try another name
    return nullptr;
  }
  return nullptr;
}

// Removes the temporary file unless it was renamed into place.
struct TemporaryGuard {
  std::unique_ptr<QFile>& file;
  bool keep = false;
  ~TemporaryGuard() {
    if (!file || keep) return;
    file->close();
    file->remove();
  }
};

// The deepest existing part of a host path with its links followed, then the rest as written.
QString CanonicalHost(const QString& host) {
  QString existing = host;
  QString rest;
  while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
    const qsizetype cut = existing.lastIndexOf(QLatin1Char('/'));
    if (cut <= 0) return host;
    rest = existing.mid(cut) + rest;
    existing.truncate(cut);
  }
  const QString canonical = QFileInfo(existing).canonicalFilePath();
  return canonical.isEmpty() ? host : canonical + rest;
}

}  // namespace

QStringList OverwriteChoiceTexts() {
  return {QStringLiteral("Sim"),
          QStringLiteral("Não"),
          QStringLiteral("Sim para todos nesta pasta"),
          QStringLiteral("Não para todos nesta pasta"),
          QStringLiteral("Sim até o fim"),
          QStringLiteral("Não até o fim"),
          QStringLiteral("Cancelar processo")};
}

void TCopyPolicy::EnterFolder() {
  if (!OverwriteToEnd) OverwriteFolder = false;
  if (!SkipToEnd) SkipFolder = false;
}

TCopyPolicy::Action TCopyPolicy::Decide(bool destinationExists) const {
  if (OverwriteFolder) return Action::Copy;
  if (SkipFolder) return destinationExists ? Action::Skip : Action::Copy;
  return destinationExists ? Action::Ask : Action::Copy;
}

TCopyPolicy::Answer TCopyPolicy::Apply(int choice) {
  switch (choice) {
    case ocYes:
      return {true, false};
    case ocYesFolder:
      OverwriteFolder = true;
      return {true, false};
    case ocNoFolder:
      SkipFolder = true;
      return {false, false};
    case ocYesToEnd:
      OverwriteFolder = OverwriteToEnd = true;
      return {true, false};
    case ocNoToEnd:
      SkipFolder = SkipToEnd = true;
      return {false, false};
    case ocCancelCopy:
      return {false, true};
    default:
      return {false, false};
  }
}

namespace {

// One file with its Windows paths (for the messages) and the host paths they stand for.
TCopyFileResult CopyHostFile(const QString& destination, const QString& source,
                             QString sourceHost, const QString& targetHost,
                             const TCopyFileHooks& hooks) {
  std::array<char, kCopyBlockBytes> buffer;

  QFileInfo sourceInfo(sourceHost);
  if (sourceInfo.isSymLink()) {
    // A link is followed only where the drive map lets it lead (never off a CD).
    const auto resolved = platform::Drives().ToHost(source);
    if (!resolved) throw ECopyError(CannotOpen(source));
    sourceHost = *resolved;
    sourceInfo = QFileInfo(sourceHost);
  }
  // Only plain files: a pipe or a device would block or never end.
  if (!sourceInfo.isFile()) throw ECopyError(CannotOpen(source));
  std::unique_ptr<QIODevice> in;
  if (hooks.OpenSource) {
    in = hooks.OpenSource(sourceHost);
  } else {
    in = std::make_unique<QFile>(sourceHost);
    if (!in->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) in.reset();
  }
  if (!in || !in->isOpen()) throw ECopyError(CannotOpen(source));
  const qint64 sourceSize = sourceInfo.size();

  const QFileInfo targetInfo(targetHost);
  if (targetInfo.exists()) {
    if (targetInfo.isDir()) CannotCreate(destination);
    if (!platform::ClearReadOnly(destination)) CannotCreate(destination);
  }
  std::unique_ptr<QFile> out = CreateTemporary(targetInfo.path());
  if (!out) CannotCreate(destination);
  TemporaryGuard guard{out};

  qint64 total = 0;
  bool stopped = false;
  for (;;) {
    const qint64 got = in->read(buffer.data(), kCopyBlockBytes);
    if (got < 0) break;  // a read error: the size check below fails the file
    if (got > 0 && out->write(buffer.data(), got) != got) {
      ShowAppMessage(35, destination);
      throw ECopyError(QStringLiteral("Acabou o espaço no drive %1.").arg(destination.left(2)));
    }
    total += got;
    if (hooks.Written) hooks.Written(got);
    if (hooks.PumpMessages) hooks.PumpMessages();
    stopped = hooks.StopRequested && hooks.StopRequested();
    if (got < kCopyBlockBytes || stopped) break;
  }
  if (stopped) return TCopyFileResult::Stopped;  // the guard drops the partial copy
  // A short read that is not the end of the file is a failure, never a shorter copy.
  if (total != sourceSize || !in->atEnd())
    throw ECopyError(QStringLiteral("O arquivo %1 não pôde ser lido até o fim.").arg(source));
  in->close();
  out->close();
  std::error_code error;
  const fs::file_time_type modified = fs::last_write_time(FsPath(sourceHost), error);
  if (!error) fs::last_write_time(FsPath(out->fileName()), modified, error);
  if (error) CannotCreate(destination);
  fs::rename(FsPath(out->fileName()), FsPath(targetHost), error);
  if (error) CannotCreate(destination);
  guard.keep = true;
  return TCopyFileResult::Copied;
}

}  // namespace

TCopyFileResult CopyOneFile(const QString& destination, const QString& source,
                            const TCopyFileHooks& hooks) {
  const auto sourceHost = platform::Drives().ToHost(source);
  if (!sourceHost) throw ECopyError(CannotOpen(source));
  const auto targetHost = platform::Drives().ToHost(destination);
  if (!targetHost) CannotCreate(destination);
  return CopyHostFile(destination, source, *sourceHost, *targetHost, hooks);
}

QString FormatThousands(qint64 value) {
  QString digits = QString::number(value < 0 ? -value : value);
  for (qsizetype i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, QLatin1Char('.'));
  return value < 0 ? QLatin1Char('-') + digits : digits;
}

QString ExpandToFullPath(const QString& name) {
  QString host = name;
  host.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const auto win = platform::Drives().ToWindows(QDir::current().absoluteFilePath(host));
  return win ? *win : name;
}

TFolderCopy::TFolderCopy(Hooks hooks) : hooks_(std::move(hooks)) {
  hooks_.file.StopRequested = [this] { return stop_; };
  auto written = hooks_.file.Written;
  hooks_.file.Written = [this, written](qint64 bytes) {
    if (written) written(bytes);
    Advance(bytes);
  };
}

void TFolderCopy::Advance(qint64 bytes) {
  done_ += bytes;
  if (hooks_.Progress) hooks_.Progress(done_, total_);
}

bool TFolderCopy::SpaceSuffices(const QString& destination, const QString& source) {
  // Only what lies directly in the demo's folder counts, as it always did.
  qint64 needed = 0;
  for (const FindEntry& e : platform::FindFiles(
           platform::IncludeTrailingBackslash(source) + QStringLiteral("*.*"), platform::faAnyFile))
    needed += e.size;
  const qint64 free = destination.isEmpty() ? -1 : platform::DiskFree(destination.at(0));
  if (needed <= free) return true;
  ShowAppMessage(37, FormatThousands(std::llround(double(needed) / 1024.0)));
  return false;
}

bool TFolderCopy::InsideSource(const QString& destination, const QString& source) {
  const auto dst = platform::Drives().ToHost(destination);
  const auto src = platform::Drives().ToHost(source);
  if (!dst || !src) return false;
  const QString d = CanonicalHost(*dst);
  const QString s = CanonicalHost(*src);
  if (d != s && !d.startsWith(s + QLatin1Char('/'))) return false;
  // Copying a folder into itself would never end.
  platform::MessageBoxRequest box;
  box.title = QStringLiteral("Problemas");
  box.text = QStringLiteral("A pasta \"") + destination + QStringLiteral("\"\n\rfica dentro da ") +
             QStringLiteral("pasta que seria copiada: escolha outra.");
  box.icon = platform::MsgIcon::Stop;
  box.argument = destination;
  platform::Dialogs().ShowMessage(box);
  return true;
}

bool TFolderCopy::DestinationReady(const QString& destination) {
  if (!destination.contains(QLatin1Char('\\'))) return true;  // a bare drive: no questions
  const auto found = platform::FileInfo(destination);
  if (!found) {
    if (ShowAppMessage(12, destination) != platform::MsgResult::Yes) return false;
    // Level by level from the drive's root.
    const QStringList parts = destination.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString folder = parts.value(0);
    for (qsizetype i = 1; i < parts.size(); ++i) {
      folder += QLatin1Char('\\') + parts[i];
      if (platform::DirectoryExists(folder)) continue;
      if (!platform::CreateDir(folder)) {
        ShowAppMessage(13, folder);
        return false;
      }
    }
    return true;
  }
  if (!(found->attributes & platform::faDirectory)) return true;
  if (found->attributes & platform::faReadOnly) {
    ShowAppMessage(7, destination);
    return false;
  }
  return ShowAppMessage(5, destination) == platform::MsgResult::Yes;
}

bool TFolderCopy::CreateFolders(const QString& destination, const QString& source,
                                QStringList& folders, qint64& totalBytes) {
  // Breadth first; a folder reached twice through links is scanned once.
  QSet<QString> scanned;
  QString relative;
  for (qsizetype next = 0;; ++next) {
    const QString here = source + relative;
    const auto host = platform::Drives().ToHost(here);
    const QString canonical = host ? CanonicalHost(*host) : here;
    if (!scanned.contains(canonical)) {
      scanned.insert(canonical);
      for (const FindEntry& e : platform::FindFiles(here + QStringLiteral("*.*"), kFolderSearch)) {
        if (!(e.attributes & platform::faDirectory)) {
          totalBytes += e.size;
          continue;
        }
        const QString sub = relative + e.name;
        if (!platform::FileInfo(destination + sub) && !platform::CreateDir(destination + sub)) {
          ShowAppMessage(13, destination + sub);
          return false;
        }
        folders.append(sub + QLatin1Char('\\'));
      }
    }
    if (next >= folders.size()) return true;
    relative = folders[next];
  }
}

bool TFolderCopy::CopyFolder(const QString& destFolder, const QString& sourceFolder) {
  policy_.EnterFolder();
  // Both folders are resolved once and the destination listed once, so a file costs no more
  // than its own opening: the names found stand for the host names, whatever their case.
  const auto sourceHost = platform::Drives().ToHost(sourceFolder);
  const auto destHost = platform::Drives().ToHost(destFolder);
  QHash<QString, FindEntry> existing;
  for (const FindEntry& e :
       platform::FindFiles(destFolder + QStringLiteral("*.*"), platform::faAnyFile))
    if (!existing.contains(e.name.toCaseFolded())) existing.insert(e.name.toCaseFolded(), e);
  for (const FindEntry& e : platform::FindFiles(sourceFolder + QStringLiteral("*.*"), kFileSearch)) {
    if (hooks_.file.PumpMessages) hooks_.file.PumpMessages();
    if (stop_) return false;
    if (e.attributes & platform::faDirectory) continue;
    const QString destination = destFolder + e.name;
    const QString source = sourceFolder + e.name;
    const auto found = existing.find(e.name.toCaseFolded());
    const bool exists = found != existing.end() && !(found->attributes & platform::faDirectory);
    bool copy = true;
    switch (policy_.Decide(exists)) {
      case TCopyPolicy::Action::Copy:
        break;
      case TCopyPolicy::Action::Skip:
        copy = false;
        break;
      case TCopyPolicy::Action::Ask: {
        const int choice = hooks_.AskOverwrite ? hooks_.AskOverwrite(destination, source) : ocNo;
        const TCopyPolicy::Answer answer = policy_.Apply(choice);
        if (answer.stop) stop_ = true;
        copy = answer.copy;
        break;
      }
    }
    const qint64 before = done_;
    if (copy) {
      try {
        if (sourceHost && destHost) {
          const QString targetName = found != existing.end() ? found->name : e.name;
          CopyHostFile(destination, source, *sourceHost + QLatin1Char('/') + e.name,
                       *destHost + QLatin1Char('/') + targetName, hooks_.file);
        } else {
          CopyOneFile(destination, source, hooks_.file);
        }
      } catch (const ECopyError&) {
        ShowAppMessage(15, source);
        errors_ = true;
      }
    }
    // Skipped and failed files count as done for the bar.
    if (!stop_) Advance(std::max<qint64>(0, e.size - (done_ - before)));
  }
  return !stop_;
}

TFolderCopy::Outcome TFolderCopy::Run(const QString& destinationText, const QString& sourceFolder) {
  stop_ = false;
  errors_ = false;
  done_ = total_ = 0;
  QString destination = destinationText;
  if (destination.endsWith(QLatin1Char('\\'))) destination.chop(1);
  if (!destination.contains(QLatin1Char(':'))) {
    expanded_ = ExpandToFullPath(destination);
    return Outcome::Relative;
  }
  if (!SpaceSuffices(destination, sourceFolder)) return Outcome::Ended;
  if (InsideSource(destination, sourceFolder)) return Outcome::Ended;
  if (!DestinationReady(destination)) return Outcome::Ended;
  destination = platform::IncludeTrailingBackslash(destination);
  const QString source = platform::IncludeTrailingBackslash(sourceFolder);

  QStringList folders;
  if (!CreateFolders(destination, source, folders, total_)) return Outcome::Ended;

  if (hooks_.FilePhase) hooks_.FilePhase(true);
  policy_.StartCopy();
  if (hooks_.Progress) hooks_.Progress(0, total_);
  if (CopyFolder(destination, source))
    for (const QString& folder : folders)
      if (!CopyFolder(destination + folder, source + folder)) break;
  if (hooks_.FilePhase) hooks_.FilePhase(false);
  if (stop_) return Outcome::Stopped;
  return errors_ ? Outcome::Errors : Outcome::Success;
}
