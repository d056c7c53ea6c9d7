#include "platform/SettingsStore.h"

#include <QFileInfo>

namespace platform {

std::unique_ptr<QSettings> OpenUserKey(const QString& organisation, const QString& application,
                                       bool create) {
#ifdef Q_OS_WIN
  const bool exists = QSettings(QStringLiteral("HKEY_CURRENT_USER\\Software\\") + organisation,
                                QSettings::NativeFormat)
                          .childGroups()
                          .contains(application, Qt::CaseInsensitive);
#endif
  auto store = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           organisation, application);
#ifndef Q_OS_WIN
  const bool exists = QFileInfo(store->fileName()).isFile();
  // Written to a new file that then replaces the old one, never in place: a crash or a full
  // disc during the write leaves the previous values readable.
  store->setAtomicSyncRequired(true);
#endif
  if (exists) return store;
  if (!create || !store->isWritable()) return nullptr;
  return store;
}

}  // namespace platform
