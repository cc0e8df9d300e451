#include "picturebutton.h"

#include <QPainter>

PictureButton::PictureButton(const QPixmap &picture, QWidget *parent)
    : QAbstractButton(parent), m_picture(picture)
{
    setFocusPolicy(Qt::NoFocus);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    // At its natural size in the top left corner, pressed or not.
    QPainter(this).drawPixmap(0, 0, m_picture);
}
