// A small drawing of a signal edge, falling or rising, shown above the
// alarm edge columns (HL, LH) of the inputs and extended lines editors.
#pragma once

#include <QWidget>

namespace telvor {

class EdgePicture final : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool rising READ rising WRITE setRising)

public:
    explicit EdgePicture(QWidget* parent = nullptr);

    bool rising() const { return m_rising; }
    void setRising(bool rising);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_rising = false;
};

} // namespace telvor
