#pragma once
// Answers the modal dialogs a test provokes, in order, as a user would: each answer is run on
// the next modal dialog that appears (a file dialog, a message box, an input box).

#include <QApplication>
#include <QTimer>
#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>

class DialogAnswers : public QObject {
 public:
  using Answer = std::function<void(QWidget*)>;

  DialogAnswers() {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (!dialog || answers_.empty() || dialog == last_) return;
      last_ = dialog;
      Answer answer = std::move(answers_.front());
      answers_.pop_front();
      seen_.push_back(dialog->objectName());
      answer(dialog);
    });
    timer_.start();
  }
  void Add(Answer answer) { answers_.push_back(std::move(answer)); }
  bool Done() const { return answers_.empty(); }
  const QStringList& Seen() const { return seen_; }

 private:
  QTimer timer_;
  std::deque<Answer> answers_;
  QPointer<QWidget> last_;  // a dialog on the stack may come back at the same address
  QStringList seen_;
};
