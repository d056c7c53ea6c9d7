#pragma once

// Pieces of the drive layer shared by its source files; not for use outside platform/.

#include <QChar>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace platform::detail {

// Longest host path we hand to the file system (Linux PATH_MAX) and longest name (NAME_MAX).
inline constexpr qsizetype kMaxHostPathBytes = 4096;
inline constexpr qsizetype kMaxNameBytes = 255;

struct WinPath {
  QChar letter;            // upper case
  QStringList components;  // "." removed, ".." applied; empty for the root
};

// "D:\A\B", "D:/A/B", "D:\" or "D:"; nothing for a relative, drive-relative or UNC path, or
// when ".." would leave the drive's root.
std::optional<WinPath> ParseWinPath(const QString& winPath);

// A name Windows accepts and the host can store: no control characters, none of <>:"/\|?*
// (except '*' and '?' when wildcards are allowed), no broken UTF-16, at most 255 bytes.
bool IsStorableName(const QString& name, bool allowWildcards);

QString JoinHost(const QString& hostDir, const QString& name);
// True also for a symbolic link whose target is missing: the name is taken.
bool HostEntryExists(const QString& hostPath);
// The entry of hostDir whose name equals name case-insensitively (the first in byte order
// when several do).
std::optional<QString> FindCaseInsensitive(const QString& hostDir, const QString& name);

// True when hostPath, with every symbolic link followed, lies in root (also followed).
// False for a link that leads nowhere.
bool InsideCanonically(const QString& hostPath, const QString& root);

// Windows wildcard match: '*' any run, '?' one character, case-insensitive; "x*.*" also
// matches names without a dot and "x*." only names without one, as FindFirst does.
bool WildcardMatch(const QString& pattern, const QString& name);

// Windows attributes of a host entry (faReadOnly, faHidden, faSysFile, faDirectory, faArchive).
uint32_t AttributesOf(const QFileInfo& info);

}  // namespace platform::detail
