// The transparent-colour swatch (control 1085): a framed patch that shows
// a colour or the dialog's face colour, drawn sunken while picking.
#pragma once

#include <QFrame>
#include <QRgb>

#include <optional>

namespace quillon {

class CColourSwatch : public QFrame {
    Q_OBJECT
public:
    explicit CColourSwatch(QWidget* parent = nullptr);
    void setSwatch(std::optional<QRgb> colour, bool sunken);
    std::optional<QRgb> colour() const { return m_colour; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::optional<QRgb> m_colour;
};

}  // namespace quillon
