#include "tools/discwriter/IsoWriter.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace discwriter {

bool WriteIsoImage(const QString& folder, const QString& isoPath, QString* error) {
  archive* a = archive_write_new();
  archive_entry* entry = archive_entry_new();
  auto fail = [&](const QString& text) {
    if (error) *error = text;
    archive_entry_free(entry);
    archive_write_free(a);
    return false;
  };
  archive_write_set_format_iso9660(a);
  archive_write_set_format_option(a, "iso9660", "joliet", "1");
  archive_write_set_format_option(a, "iso9660", "rockridge", "1");
  archive_write_set_format_option(a, "iso9660", "volume-id", "QUARX9");
  if (archive_write_open_filename(a, QFile::encodeName(isoPath).constData()) != ARCHIVE_OK)
    return fail(QString::fromUtf8(archive_error_string(a)));

  const QDir root(folder);
  QStringList paths;
  QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) paths << root.relativeFilePath(it.next());
  paths.sort();  // folders before what they hold
  for (const QString& relative : paths) {
    const QFileInfo info(root.filePath(relative));
    archive_entry_clear(entry);
    archive_entry_set_pathname_utf8(entry, relative.toUtf8().constData());
    archive_entry_set_mtime(entry, 0, 0);  // the same image for the same files
    if (info.isDir()) {
      archive_entry_set_filetype(entry, AE_IFDIR);
      archive_entry_set_perm(entry, 0755);
      if (archive_write_header(a, entry) != ARCHIVE_OK)
        return fail(QString::fromUtf8(archive_error_string(a)));
      continue;
    }
    QFile file(info.filePath());
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
      return fail(QStringLiteral("cannot read \"%1\"").arg(info.filePath()));
    archive_entry_set_filetype(entry, AE_IFREG);
    // Rock Ridge keeps the run bit, so the disc's programs run from the image as from the folder.
    archive_entry_set_perm(entry, info.isExecutable() ? 0755 : 0644);
    archive_entry_set_size(entry, file.size());
    if (archive_write_header(a, entry) != ARCHIVE_OK)
      return fail(QString::fromUtf8(archive_error_string(a)));
    while (!file.atEnd()) {
      const QByteArray piece = file.read(1 << 20);
      if (archive_write_data(a, piece.constData(), size_t(piece.size())) != piece.size())
        return fail(QString::fromUtf8(archive_error_string(a)));
    }
  }
  if (archive_write_close(a) != ARCHIVE_OK) return fail(QString::fromUtf8(archive_error_string(a)));
  archive_entry_free(entry);
  archive_write_free(a);
  return true;
}

}  // namespace discwriter
