#pragma once

// The system list box that TCustomDrawListBox drives: the items (text and a 32-bit value)
// live here, with the selection, the caret, the top index and the item geometry. It is
// created and destroyed as a window is, so a change of style re-creates it; the box saves and
// restores its items around that. Calls answer as the list-box messages do: an index the
// window rejects gives kError.

#include <QRect>
#include <QSize>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct ListBoxParams {
  bool ownerDrawFixed = false;
  bool ownerDrawVariable = false;
  bool sorted = false;
  bool multiSelect = false;
  bool extendedSelect = false;
  int columns = 0;      // 0: one column; otherwise multi-column
  int itemHeight = 16;  // fixed height of every item (all but owner-draw variable)
};

// What the list asks of its window as it is now: the client area and the column width.
struct ListBoxGeometry {
  std::function<QSize()> clientSize;
  std::function<int()> columnWidth;
};

class ListBoxWindow {
 public:
  static constexpr int kError = -1;
  // More than the system list box would hold: further insertions are refused.
  static constexpr int kMaxItems = 32767;

  // measure answers the height of a new item of an owner-draw variable box.
  ListBoxWindow(const ListBoxParams& params, ListBoxGeometry geometry,
                std::function<int(int index)> measure = nullptr);

  const ListBoxParams& Params() const { return params_; }

  int Count() const { return static_cast<int>(items_.size()); }
  // Index of the new item, or kError when refused.
  int AddString(const QString& text);
  // index -1 appends; an index above the count is refused.
  int InsertString(int index, const QString& text);
  // Items left, or kError.
  int DeleteString(int index);
  void ResetContent();
  std::optional<QString> Text(int index) const;
  std::optional<uint32_t> ItemData(int index) const;
  bool SetItemData(int index, uint32_t value);

  // Single selection: the selected item or -1; multiple selection: the caret.
  int CurSel() const;
  // Single selection only; -1 clears. False for an index out of range.
  bool SetCurSel(int index);
  int Caret() const { return caret_; }
  void SetCaret(int index);
  // kError for an index out of range, else 0 or 1.
  int IsSelected(int index) const;
  bool SetSelected(int index, bool selected);  // multiple selection only; -1: every item
  void SelectRange(int from, int to, bool selected);

  int TopIndex() const { return top_; }
  // Also scrolls no further than the last item's reaching the bottom.
  bool SetTopIndex(int index);
  int MaxTopIndex() const;
  // Scrolls as little as needed to show the item whole.
  void EnsureVisible(int index);

  int ItemHeight(int index) const;
  // Changes the height of one item (variable style) or of all (fixed styles).
  bool SetItemHeight(int index, int height);
  // Client rectangle of an item: where it is drawn from the top index on, also outside the
  // client area; nothing for an index out of range.
  std::optional<QRect> ItemRect(int index) const;
  // Items of one column that fit in the client height (at least 1).
  int RowsPerColumn() const;
  // Items that fit whole from the top index on.
  int VisibleCount() const;

 private:
  struct Item {
    QString text;
    uint32_t data = 0;
    int height = 0;
    bool selected = false;
  };
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  int SortedPosition(const QString& text) const;
  int Insert(int index, const QString& text);
  bool MultiColumn() const { return params_.columns != 0; }
  QSize ClientSize() const { return geometry_.clientSize ? geometry_.clientSize() : QSize(); }
  int ColumnWidth() const {
    return std::max(1, geometry_.columnWidth ? geometry_.columnWidth() : 1);
  }

  ListBoxParams params_;
  ListBoxGeometry geometry_;
  std::function<int(int)> measure_;
  std::vector<Item> items_;
  int curSel_ = -1;
  int caret_ = 0;
  int top_ = 0;
};
