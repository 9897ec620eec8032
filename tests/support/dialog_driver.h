#pragma once

// Answers the modal dialogs that come up while a call runs, as a person would: each step gets
// the next new modal widget. A dialog already answered is never taken for a new one, also when
// it comes back on top after a box that its step opened; once it is hidden it counts as new
// again. Progress windows are noted, not answered.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QDialogButtonBox;

class DialogDriver : public QObject {
public:
    using Step = std::function<void(QWidget*)>;

    DialogDriver();
    ~DialogDriver() override;

    DialogDriver& then(Step step);

    int Answered() const { return next_; }
    // Dialogs that came when no step was left; they were cancelled.
    QStringList Unexpected;
    int ProgressSeen = 0;
    int ProgressMaximum = -1;

    // Pressing the button with the accept or reject role of the widget's button box.
    static void Accept(QWidget* dialog);
    static void Reject(QWidget* dialog);
    static void Type(QWidget* edit, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();
    bool seen(const QWidget* w) const;

    QTimer timer_;
    std::vector<Step> steps_;
    int next_ = 0;
    // Every modal widget taken so far that is still shown.
    std::vector<QPointer<QWidget>> seen_;
};
