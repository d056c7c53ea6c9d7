#pragma once

// Copying a demo's folder: the folders first (breadth first), then every file, folder by
// folder, asking before an existing file is overwritten. Runs on the user-interface thread
// and lets the message loop turn after every 8,192-byte block and before every file, so the
// stop button answers; the hooks stand for the window.
//
// Nothing is lost: each file is written under a temporary name in its destination folder and
// renamed over the target only when complete, so a stop, a full disc or a read error never
// leaves a truncated file under the real name nor destroys the file it was to replace.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "common/Exceptions.h"

class QIODevice;

class ECopyError : public Exception {
 public:
  using Exception::Exception;
};

// The answers of the overwrite question, in the order of its list.
enum TOverwriteChoice : int {
  ocYes = 0,           // "Sim"
  ocNo = 1,            // "Não"
  ocYesFolder = 2,     // "Sim para todos nesta pasta"
  ocNoFolder = 3,      // "Não para todos nesta pasta"
  ocYesToEnd = 4,      // "Sim até o fim"
  ocNoToEnd = 5,       // "Não até o fim"
  ocCancelCopy = 6,    // "Cancelar processo"
};
QStringList OverwriteChoiceTexts();

// What the answers leave for the files after the one in question.
class TCopyPolicy {
 public:
  enum class Action { Copy, Skip, Ask };
  struct Answer {
    bool copy = false;
    bool stop = false;
  };

  // All flags off: the start of a file phase.
  void StartCopy() { *this = TCopyPolicy(); }
  // A new folder: its own answers are forgotten unless they were "até o fim".
  void EnterFolder();
  Action Decide(bool destinationExists) const;
  // Applies an answer to the question about one file; an index outside the list counts as
  // "Não".
  Answer Apply(int choice);

  bool OverwriteFolder = false;
  bool SkipFolder = false;
  bool OverwriteToEnd = false;
  bool SkipToEnd = false;
};

inline constexpr qint64 kCopyBlockBytes = 8192;

struct TCopyFileHooks {
  std::function<void()> PumpMessages;   // lets pending messages run; may be empty
  std::function<bool()> StopRequested;  // may be empty
  std::function<void(qint64 bytes)> Written;  // after each block; may be empty
  // Opens a host file for reading; empty: a plain file. Tests hand in failing devices.
  std::function<std::unique_ptr<QIODevice>(const QString& hostPath)> OpenSource;
};

enum class TCopyFileResult { Copied, Stopped };

// Copies source to destination (Windows paths), keeping the modification time. A stop
// between blocks drops the partial copy. Raises ECopyError with the text the user sees, after
// showing message 34 (the destination cannot be made) or 35 (a write fell short).
TCopyFileResult CopyOneFile(const QString& destination, const QString& source,
                            const TCopyFileHooks& hooks = {});

// "1.234.567": a count with the thousands separators of the messages.
QString FormatThousands(qint64 value);

// A folder name the user typed, made absolute against the current folder (a Windows path).
QString ExpandToFullPath(const QString& name);

class TFolderCopy {
 public:
  struct Hooks {
    TCopyFileHooks file;  // StopRequested is filled in by the copy itself
    // The overwrite question: returns the chosen index.
    std::function<int(const QString& destination, const QString& source)> AskOverwrite;
    // The file phase starts (true) or ends (false): the stop button's time.
    std::function<void(bool)> FilePhase;
    // Bytes done out of the bytes of every file the file phase looks at.
    std::function<void(qint64 done, qint64 total)> Progress;
  };
  enum class Outcome {
    Relative,  // no drive in the destination: ExpandedDestination() replaces it, nothing done
    Ended,     // ended before the file phase (a message said why, or the user said no)
    Stopped,   // message 33 is due
    Errors,    // message 36 is due
    Success,   // message 6 is due
  };

  explicit TFolderCopy(Hooks hooks);
  TFolderCopy(const TFolderCopy&) = delete;
  TFolderCopy& operator=(const TFolderCopy&) = delete;

  // Copies sourceFolder (a Windows path) into the folder the user typed. Raises Exception
  // for failures outside single files (message 14 is the caller's).
  Outcome Run(const QString& destinationText, const QString& sourceFolder);
  const QString& ExpandedDestination() const { return expanded_; }

  void RequestStop() { stop_ = true; }
  bool StopRequested() const { return stop_; }
  const TCopyPolicy& Policy() const { return policy_; }

 private:
  bool SpaceSuffices(const QString& destination, const QString& source);
  bool DestinationReady(const QString& destination);
  bool InsideSource(const QString& destination, const QString& source);
  bool CreateFolders(const QString& destination, const QString& source, QStringList& folders,
                     qint64& totalBytes);
  bool CopyFolder(const QString& destFolder, const QString& sourceFolder);
  void Advance(qint64 bytes);

  Hooks hooks_;
  TCopyPolicy policy_;
  bool stop_ = false;
  bool errors_ = false;
  QString expanded_;
  qint64 done_ = 0;
  qint64 total_ = 0;
};
