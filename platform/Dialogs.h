#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class QDialog;

namespace platform {

enum class MsgIcon { None, Stop, Info, Question, Warning };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No, Cancel };

// One message box: what the system's numbered catalogue and the toolkit's error dialogs show.
struct MessageBoxRequest {
  QString title;
  QString text;  // keeps the system's "\n\r" line breaks; the Qt service shows them as breaks
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  MsgResult defaultButton = MsgResult::Ok;
  int code = -1;     // catalogue code, -1 for boxes outside the catalogue
  QString argument;  // the catalogue argument, for the record
};

struct FileDialogRequest {
  QString title;
  QString folder;    // host folder to start in
  QString fileName;  // proposed name
  QStringList filters;  // "Bitmaps (*.bmp)" ...
};

// Every question and error box, file dialog and small modal form goes through this service,
// so tests replace it with a scripted one and never block on a modal window.
class DialogService {
 public:
  virtual ~DialogService() = default;
  virtual MsgResult ShowMessage(const MessageBoxRequest& request) = 0;
  // Host path chosen, or nothing when cancelled.
  virtual std::optional<QString> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> SaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<QString> ChooseFolder(const FileDialogRequest& request) = 0;
  // Runs one of the programs' own small forms modally; returns its result code.
  // name is the form's object name ("fmInst", "fmToAll"...), for scripts.
  virtual int RunForm(QDialog& form) = 0;
};

// Qt's message boxes and file dialogs, owned by the active window.
class QtDialogService final : public DialogService {
 public:
  MsgResult ShowMessage(const MessageBoxRequest& request) override;
  std::optional<QString> OpenFile(const FileDialogRequest& request) override;
  std::optional<QString> SaveFile(const FileDialogRequest& request) override;
  std::optional<QString> ChooseFolder(const FileDialogRequest& request) override;
  int RunForm(QDialog& form) override;
};

// Records every request and answers from a script; unscripted boxes get their default
// button, unscripted file dialogs are cancelled, unscripted forms are rejected (0).
class ScriptedDialogService final : public DialogService {
 public:
  struct Record {
    enum Kind { Message, Open, Save, Folder, Form } kind;
    MessageBoxRequest message;
    FileDialogRequest file;
    QString formName;
  };

  void QueueMessageAnswer(MsgResult answer) { messageAnswers_.push_back(answer); }
  void QueueFileAnswer(std::optional<QString> path) { fileAnswers_.push_back(std::move(path)); }
  // A form answer may act on the form (fill its fields) before returning its result code.
  void QueueFormAnswer(std::function<int(QDialog&)> answer) {
    formAnswers_.push_back(std::move(answer));
  }

  const std::vector<Record>& Records() const { return records_; }
  std::vector<MessageBoxRequest> Messages() const;
  void Clear();

  MsgResult ShowMessage(const MessageBoxRequest& request) override;
  std::optional<QString> OpenFile(const FileDialogRequest& request) override;
  std::optional<QString> SaveFile(const FileDialogRequest& request) override;
  std::optional<QString> ChooseFolder(const FileDialogRequest& request) override;
  int RunForm(QDialog& form) override;

 private:
  std::optional<QString> NextFile(Record::Kind kind, const FileDialogRequest& request);
  std::vector<Record> records_;
  std::vector<MsgResult> messageAnswers_;
  std::vector<std::optional<QString>> fileAnswers_;
  std::vector<std::function<int(QDialog&)>> formAnswers_;
};

// The process's dialog service: the Qt one unless a test installed another.
DialogService& Dialogs();
// Installs service (not owned; nullptr restores the Qt one). For tests.
void SetDialogs(DialogService* service);

// RAII installation of a scripted service for one test.
class ScopedScriptedDialogs {
 public:
  ScopedScriptedDialogs() { SetDialogs(&service_); }
  ~ScopedScriptedDialogs() { SetDialogs(nullptr); }
  ScopedScriptedDialogs(const ScopedScriptedDialogs&) = delete;
  ScopedScriptedDialogs& operator=(const ScopedScriptedDialogs&) = delete;
  ScriptedDialogService* operator->() { return &service_; }
  ScriptedDialogService& operator*() { return service_; }

 private:
  ScriptedDialogService service_;
};

}  // namespace platform
