#include "platform/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/TerminationSignals.h"

namespace platform {
namespace {

DialogService* gOverride = nullptr;

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Stop: return QMessageBox::Critical;
    case MsgIcon::Info: return QMessageBox::Information;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// The system's texts break lines with LF CR; a lone CR would show as a stray glyph.
QString ForDisplay(const QString& text) {
  QString t = text;
  t.replace(QLatin1String("\n\r"), QLatin1String("\n"));
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return t;
}

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

MsgResult QtDialogService::ShowMessage(const MessageBoxRequest& r) {
  // The program is being ended from outside: nobody is there to answer, and a box would hold
  // the ending up. A question gets the answer of closing its box.
  if (TerminationRequested()) return r.buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
  QMessageBox box(ToQt(r.icon), r.title, ForDisplay(r.text), QMessageBox::NoButton, Owner());
  if (r.buttons == MsgButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(r.defaultButton == MsgResult::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int res = box.exec();
  if (r.buttons == MsgButtons::Ok) return MsgResult::Ok;
  return res == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

std::optional<QString> QtDialogService::OpenFile(const FileDialogRequest& r) {
  if (TerminationRequested()) return std::nullopt;
  const QString path = QFileDialog::getOpenFileName(Owner(), r.title, r.folder + "/" + r.fileName,
                                                    r.filters.join(";;"));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> QtDialogService::SaveFile(const FileDialogRequest& r) {
  if (TerminationRequested()) return std::nullopt;
  const QString path = QFileDialog::getSaveFileName(Owner(), r.title, r.folder + "/" + r.fileName,
                                                    r.filters.join(";;"));
  if (path.isEmpty()) return std::nullopt;
  return path;
}

std::optional<QString> QtDialogService::ChooseFolder(const FileDialogRequest& r) {
  if (TerminationRequested()) return std::nullopt;
  const QString path = QFileDialog::getExistingDirectory(Owner(), r.title, r.folder);
  if (path.isEmpty()) return std::nullopt;
  return path;
}

int QtDialogService::RunForm(QDialog& form) {
  if (TerminationRequested()) return QDialog::Rejected;
  return form.exec();
}

std::vector<MessageBoxRequest> ScriptedDialogService::Messages() const {
  std::vector<MessageBoxRequest> out;
  for (const Record& r : records_)
    if (r.kind == Record::Message) out.push_back(r.message);
  return out;
}

void ScriptedDialogService::Clear() {
  records_.clear();
  messageAnswers_.clear();
  fileAnswers_.clear();
  formAnswers_.clear();
}

MsgResult ScriptedDialogService::ShowMessage(const MessageBoxRequest& request) {
  records_.push_back({Record::Message, request, {}, {}});
  if (!messageAnswers_.empty()) {
    const MsgResult answer = messageAnswers_.front();
    messageAnswers_.erase(messageAnswers_.begin());
    return answer;
  }
  return request.buttons == MsgButtons::Ok ? MsgResult::Ok : request.defaultButton;
}

std::optional<QString> ScriptedDialogService::NextFile(Record::Kind kind,
                                                       const FileDialogRequest& request) {
  records_.push_back({kind, {}, request, {}});
  if (fileAnswers_.empty()) return std::nullopt;
  // Read the front as a plain string: copying the optional trips a false g++ 12 warning.
  const bool chosen = fileAnswers_.front().has_value();
  const QString path = chosen ? *fileAnswers_.front() : QString();
  fileAnswers_.erase(fileAnswers_.begin());
  if (!chosen) return std::nullopt;
  return path;
}

std::optional<QString> ScriptedDialogService::OpenFile(const FileDialogRequest& request) {
  return NextFile(Record::Open, request);
}
std::optional<QString> ScriptedDialogService::SaveFile(const FileDialogRequest& request) {
  return NextFile(Record::Save, request);
}
std::optional<QString> ScriptedDialogService::ChooseFolder(const FileDialogRequest& request) {
  return NextFile(Record::Folder, request);
}

int ScriptedDialogService::RunForm(QDialog& form) {
  records_.push_back({Record::Form, {}, {}, form.objectName()});
  if (formAnswers_.empty()) return 0;
  auto answer = std::move(formAnswers_.front());
  formAnswers_.erase(formAnswers_.begin());
  return answer(form);
}

DialogService& Dialogs() {
  static QtDialogService qt;
  return gOverride ? *gOverride : qt;
}

void SetDialogs(DialogService* service) { gOverride = service; }

}  // namespace platform
