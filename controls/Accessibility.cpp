#include "controls/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "controls/DrawListBox.h"
#include "controls/TotalPaintBox.h"
#include "controls/Transbut.h"

namespace {

class PictureButtonAccessible final : public QAccessibleWidget {
 public:
  explicit PictureButtonAccessible(TPictureButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    const auto* b = static_cast<const TPictureButton*>(widget());
    if (t == QAccessible::Name)
      return b->accessibleName().isEmpty() ? b->Hint() : b->accessibleName();
    if (t == QAccessible::Description) return b->Hint();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    const auto* b = static_cast<const TPictureButton*>(widget());
    QAccessible::State s = QAccessibleWidget::state();
    // A hidden button stays a shown Qt widget that paints nothing.
    if (!b->Visible()) s.invisible = true;
    if (!b->Enabled()) s.disabled = true;
    return s;
  }

  QStringList actionNames() const override { return {pressAction()}; }

  void doAction(const QString& name) override {
    auto* b = static_cast<TPictureButton*>(widget());
    if (name == pressAction() && b->Visible() && b->Enabled()) b->Click();
  }
};

class HiddenAwareAccessible final : public QAccessibleWidget {
 public:
  HiddenAwareAccessible(QWidget* w, QAccessible::Role role, bool (*visible)(const QWidget*))
      : QAccessibleWidget(w, role), visible_(visible) {}

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    if (!visible_(widget())) s.invisible = true;
    return s;
  }

 private:
  bool (*visible_)(const QWidget*);
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
  if (auto* button = qobject_cast<TPictureButton*>(object))
    return new PictureButtonAccessible(button);
  if (auto* list = qobject_cast<TCustomDrawListBox*>(object))
    return new HiddenAwareAccessible(list, QAccessible::List, [](const QWidget* w) {
      return static_cast<const TCustomDrawListBox*>(w)->Visible();
    });
  if (auto* box = qobject_cast<TTotalPaintBox*>(object))
    return new HiddenAwareAccessible(box, QAccessible::Graphic, [](const QWidget* w) {
      return static_cast<const TTotalPaintBox*>(w)->Visible();
    });
  return nullptr;
}

}  // namespace

void InstallControlAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(&Factory);
    return true;
  }();
  (void)installed;
}
