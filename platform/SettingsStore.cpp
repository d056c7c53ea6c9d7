#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <map>

namespace platform {
namespace {

using Values = std::map<QString, QString>;

QString Text(const QVariant& v) {
  return v.typeId() == QMetaType::QStringList ? v.toStringList().join(QChar(0)) : v.toString();
}

Values ValuesOf(const QSettings& store) {
  Values values;
  for (const QString& key : store.allKeys()) values[key] = Text(store.value(key));
  return values;
}

// Whether bytes read back (through a fresh file, past any cache) as exactly these values.
bool ReadsBackAs(const QByteArray& bytes, const QString& near, const Values& expected) {
  QTemporaryFile check(near + QStringLiteral(".check-XXXXXX"));
  if (!check.open() || check.write(bytes) != bytes.size() || !check.flush()) return false;
  check.close();
  const QSettings reread(check.fileName(), QSettings::IniFormat);
  return reread.status() == QSettings::NoError && ValuesOf(reread) == expected;
}

// Replaces the key's file with the staged copy when the copy is whole; the staged copy goes.
void PutInPlace(const QString& staged, const QString& keyFile, const Values& expected) {
  QFile file(staged);
  const bool read = file.open(QIODevice::ReadOnly);
  const QByteArray bytes = read ? file.readAll() : QByteArray();
  file.close();
  QFile::remove(staged);
  if (!read || !ReadsBackAs(bytes, keyFile, expected)) return;
  // Unbuffered, so that a short write shows in write()'s count rather than vanishing at close.
  QSaveFile out(keyFile);
  if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
  if (out.write(bytes) != bytes.size()) {
    out.cancelWriting();
    return;
  }
  out.commit();
}

}  // namespace

void UserKeyCommit::operator()(QSettings* store) const {
  if (keyFile.isEmpty()) {
    delete store;
    return;
  }
  const Values expected = ValuesOf(*store);
  store->sync();
  const bool written = store->status() == QSettings::NoError;
  const QString staged = store->fileName();
  delete store;
  if (written && (expected != unchanged || !QFileInfo::exists(keyFile)))
    PutInPlace(staged, keyFile, expected);
  else
    QFile::remove(staged);
}

UserKey OpenUserKey(const QString& organisation, const QString& application, bool create) {
#ifdef Q_OS_WIN
  const bool exists = QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + organisation,
                                QSettings::NativeFormat)
                          .childGroups()
                          .contains(application, Qt::CaseInsensitive);
  UserKey store(
      new QSettings(QSettings::NativeFormat, QSettings::UserScope, organisation, application),
      UserKeyCommit{});
  if (exists) return store;
  if (!create || !store->isWritable()) return nullptr;
  return store;
#else
  const QString keyFile =
      QSettings(QSettings::NativeFormat, QSettings::UserScope, organisation, application)
          .fileName();
  const bool exists = QFileInfo(keyFile).isFile();
  if (!exists && !create) return nullptr;
  // The store works on a file of this process's own, filled with the key's values; the key's
  // file is replaced only at the end.
  const QString staged =
      keyFile + QStringLiteral(".writing-%1").arg(QCoreApplication::applicationPid());
  QFile::remove(staged);
  const QSettings key(keyFile, QSettings::IniFormat);
  const Values current = exists ? ValuesOf(key) : Values();
  UserKey store(new QSettings(staged, QSettings::IniFormat), UserKeyCommit{keyFile, current});
  if (!exists && !store->isWritable()) {
    store.get_deleter().keyFile.clear();  // nothing to put in place
    return nullptr;
  }
  if (exists)
    for (const QString& name : key.allKeys()) store->setValue(name, key.value(name));
  return store;
#endif
}

}  // namespace platform
