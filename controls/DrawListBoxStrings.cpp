// TListBoxStrings: the Items of a list box, kept by its system list.

#include "controls/DrawListBox.h"

namespace {
const QString kUnableToInsert = QStringLiteral("Unable to insert a line");
}

int TListBoxStrings::Count() const {
  return box_.Window().Count();
}

QString TListBoxStrings::Get(int index) const {
  // The whole text, however long: nothing is cut at a fixed buffer size.
  const auto text = box_.Window().Text(index);
  if (!text) throw EListError::IndexOutOfBounds(index);
  return *text;
}

uint32_t TListBoxStrings::Objects(int index) const {
  const auto value = box_.Window().ItemData(index);
  if (!value) throw EListError::IndexOutOfBounds(index);
  return *value;
}

void TListBoxStrings::Put(int index, const QString& text) {
  // Replacing a missing item must not append one.
  if (!box_.Window().Text(index)) throw EListError::IndexOutOfBounds(index);
  const int selected = box_.ItemIndex();
  const uint32_t value = box_.Window().ItemData(index).value_or(0);
  Delete(index);
  Insert(index, text);
  box_.Window().SetItemData(index, value);
  box_.SetItemIndex(selected);
}

void TListBoxStrings::PutObject(int index, uint32_t value) {
  box_.Window().SetItemData(index, value);
}

int TListBoxStrings::Add(const QString& text) {
  const int index = box_.Window().AddString(text);
  if (index < 0) throw EOutOfResources(kUnableToInsert);
  box_.InvalidateItems();
  return index;
}

int TListBoxStrings::AddObject(const QString& text, uint32_t value) {
  const int index = Add(text);
  box_.Window().SetItemData(index, value);
  return index;
}

void TListBoxStrings::Insert(int index, const QString& text) {
  if (box_.Window().InsertString(index, text) < 0) throw EOutOfResources(kUnableToInsert);
  box_.InvalidateItems();
}

void TListBoxStrings::Delete(int index) {
  if (box_.Window().DeleteString(index) != ListBoxWindow::kError) box_.InvalidateItems();
}

void TListBoxStrings::Clear() {
  box_.Window().ResetContent();
  box_.InvalidateItems();
}

int TListBoxStrings::IndexOf(const QString& text) const {
  for (int i = 0; i < Count(); ++i)
    if (box_.Window().Text(i)->compare(text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TListBoxStrings::BeginUpdate() {
  if (updateCount_++ == 0) box_.SetRedraw(false);
}

void TListBoxStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) box_.SetRedraw(true);
}
