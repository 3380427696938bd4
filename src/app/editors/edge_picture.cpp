#include "edge_picture.h"

#include <QPainter>
#include <QPainterPath>

namespace telvor {

EdgePicture::EdgePicture(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void EdgePicture::setRising(bool rising)
{
    m_rising = rising;
    update();
}

QSize EdgePicture::sizeHint() const
{
    return {44, 26};
}

void EdgePicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    const qreal middle = area.center().x();
    const qreal start = m_rising ? area.bottom() : area.top();
    const qreal end = m_rising ? area.top() : area.bottom();

    QPainterPath signal;
    signal.moveTo(area.left(), start);
    signal.lineTo(middle, start);
    signal.lineTo(middle, end);
    signal.lineTo(area.right(), end);
    painter.setPen(QPen(ink, 1.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(signal);

    // An arrow head on the edge shows which way the signal crosses.
    const qreal direction = m_rising ? -1 : 1;
    const qreal tip = area.center().y() + direction * 5;
    QPainterPath arrow;
    arrow.moveTo(middle, tip);
    arrow.lineTo(middle - 4, tip - direction * 7);
    arrow.lineTo(middle + 4, tip - direction * 7);
    arrow.closeSubpath();
    painter.fillPath(arrow, ink);
}

} // namespace telvor
