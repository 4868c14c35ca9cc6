#include "frame/qt/page_stretch.h"

#include <QEvent>
#include <algorithm>
#include <QGroupBox>
#include <QListWidget>
#include <QWidget>
#include <vector>

namespace ravlo {
namespace {

class PageStretch : public QObject {
 public:
  explicit PageStretch(QWidget* page) : QObject(page), page_(page), height_(page->minimumHeight()) {
    for (QListWidget* list : page->findChildren<QListWidget*>()) {
      Add(list, true);
      for (QWidget* up = list->parentWidget(); up && up != page; up = up->parentWidget()) {
        if (qobject_cast<QGroupBox*>(up)) Add(up, true);
      }
      // Below the list in its frame (the Select buttons): they move down with its bottom.
      for (QWidget* sibling : list->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (sibling->geometry().top() > list->geometry().bottom()) Add(sibling, false);
      }
    }
    page->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == page_ && event->type() == QEvent::Resize) {
      const int more = std::max(0, page_->height() - height_);
      for (const Part& part : parts_) {
        QRect place = part.start;
        if (part.grows) place.setHeight(place.height() + more);
        else place.translate(0, more);
        part.widget->setGeometry(place);
      }
    }
    return false;
  }

 private:
  struct Part {
    QWidget* widget;
    QRect start;
    bool grows;  // else it moves down
  };

  void Add(QWidget* widget, bool grows) {
    for (const Part& part : parts_) {
      if (part.widget == widget) return;
    }
    parts_.push_back({widget, widget->geometry(), grows});
  }

  QWidget* page_;
  int height_;  // the height the page was laid out for
  std::vector<Part> parts_;
};

}  // namespace

void StretchListsWithPage(QWidget* page) { new PageStretch(page); }

}  // namespace ravlo
