#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A picture without a border that reports clicks. Assistive technology sees a
// push button that can be pressed; it takes no keyboard focus.
class PictureButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit PictureButton(const QPixmap &picture, QWidget *parent = nullptr);

    QPixmap pixmap() const { return m_picture; }
    QSize sizeHint() const override { return m_picture.deviceIndependentSize().toSize(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};
