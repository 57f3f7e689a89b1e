#pragma once
// Answers the next question box the program shows, as a user would click its button,
// while the test goes on to the step that asks it.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace ceph::testing {

class AnswerQuestion {
  public:
    explicit AnswerQuestion(QMessageBox::StandardButton button) {
        QObject::connect(&timer_, &QTimer::timeout, [this, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer_.stop();
                box->button(button)->click();
            }
        });
        timer_.start(10);
    }
    // Whether no question has been answered yet.
    bool Waiting() const { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace ceph::testing
