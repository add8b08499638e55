// The two kinds of control the settings dialog needs beyond Qt's own: a text
// field that reports when it loses or gains the focus, and a label that
// reacts to a click.
#pragma once

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <string>

namespace qel {

class Field : public QLineEdit {
    Q_OBJECT
public:
    explicit Field(QWidget* parent = nullptr) : QLineEdit(parent) {}

    // The value of the text: the number read from its start, 0 for none.
    double value() const;
    std::string textUtf8() const { return text().toStdString(); }
    void setTextUtf8(const std::string& t) { setText(QString::fromStdString(t)); }

signals:
    // After the field has handled the event itself.
    void focusLeft(Qt::FocusReason reason);
    void focusEntered();

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
};

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& caption, QWidget* parent = nullptr) : QLabel(caption, parent) {}

signals:
    // A left button pressed and released over the label.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

}  // namespace qel
