#include "album/album_ctrl.h"

#include "album/caption_text.h"
#include "album/thumbnail_fit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimerEvent>

namespace quillon {
namespace {

constexpr int kDragRepeatMs = 100;

// The focus frame's 8 x 8 checkerboard: rows 0x55 and 0xAA alternating, a
// clear bit black.
QBrush checkerboardBrush() {
    QImage pattern(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        const int bits = (y % 2 == 0) ? 0x55 : 0xAA;
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, (bits >> (7 - x)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return QBrush(pattern);
}

std::optional<AlbumKey> albumKeyOf(int key) {
    switch (key) {
    case Qt::Key_Left: return AlbumKey::Left;
    case Qt::Key_Right: return AlbumKey::Right;
    case Qt::Key_Up: return AlbumKey::Up;
    case Qt::Key_Down: return AlbumKey::Down;
    case Qt::Key_PageUp: return AlbumKey::PageUp;
    case Qt::Key_PageDown: return AlbumKey::PageDown;
    case Qt::Key_Home: return AlbumKey::Home;
    case Qt::Key_End: return AlbumKey::End;
    case Qt::Key_Space: return AlbumKey::Space;
    case Qt::Key_Delete: return AlbumKey::Delete;
    case Qt::Key_Return:
    case Qt::Key_Enter: return AlbumKey::Return;
    default: return std::nullopt;
    }
}

}  // namespace

AlbumMetrics albumMetrics(int logicalDpiX) {
    AlbumMetrics m;
    m.font = QFont(QString::fromUtf8("ＭＳ 明朝"));
    m.font.setPixelSize(std::max(1, mulDiv(9, logicalDpiX, 72)));
    m.font.setWeight(QFont::Normal);
    const QFontMetrics metrics(m.font);
    m.thumbnailWidth = 16 * metrics.averageCharWidth();
    m.thumbnailHeight = mulDiv(m.thumbnailWidth, 36, 52);
    m.fontHeight = metrics.height();
    return m;
}

std::vector<QRgb> albumScreenPalette() {
    std::vector<QRgb> table(256);
    for (int b = 0; b < 4; ++b)
        for (int g = 0; g < 8; ++g)
            for (int r = 0; r < 8; ++r) table[size_t(r + 8 * g + 64 * b)] = qRgb(r * 32, g * 32, b * 64);
    return table;
}

QImage reducedToScreen(const QImage& thumbnail, int screenDepth) {
    if (screenDepth >= 15 || thumbnail.isNull()) return thumbnail;
    const std::vector<QRgb> table = albumScreenPalette();
    return thumbnail.convertToFormat(QImage::Format_Indexed8, QList<QRgb>(table.begin(), table.end()),
                                     Qt::ThresholdDither | Qt::AvoidDither)
        .convertToFormat(QImage::Format_RGB32);
}

CAlbumCtrl::CAlbumCtrl(QWidget* parent)
    : QWidget(parent), m_metrics(albumMetrics(logicalDpiX())), m_bar(new QScrollBar(Qt::Vertical, this)),
      m_focusBrush(checkerboardBrush()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    m_model.setObserver(this);
    m_model.setCellMetrics(m_metrics.thumbnailWidth, m_metrics.thumbnailHeight, m_metrics.fontHeight);
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setSingleStep(1);
    m_bar->setRange(0, 0);
    m_bar->setEnabled(false);
    connect(m_bar, &QScrollBar::valueChanged, this, [this](int row) {
        if (!m_syncingBar) m_model.scrollToRow(row);
    });
    layoutClient();
}

CAlbumCtrl::~CAlbumCtrl() { m_model.setObserver(nullptr); }

void CAlbumCtrl::replacePlaceholder(QWidget* placeholder) {
    setParent(placeholder->parentWidget());
    setObjectName(placeholder->objectName());
    setGeometry(placeholder->geometry());
    delete placeholder;
    show();
}

int CAlbumCtrl::appendItem(const QImage& thumbnail) { return m_model.append(reducedToScreen(thumbnail, m_screenDepth)); }

int CAlbumCtrl::insertItem(int index, const QImage& thumbnail) {
    return m_model.insert(index, reducedToScreen(thumbnail, m_screenDepth));
}

bool CAlbumCtrl::setThumbnail(int index, const QImage& thumbnail) {
    return m_model.setThumbnail(index, reducedToScreen(thumbnail, m_screenDepth));
}

std::vector<QRgb> CAlbumCtrl::displayPalette() const {
    if (m_screenDepth >= 15) return {};
    std::vector<QRgb> table = albumScreenPalette();
    table.resize(255);
    return table;
}

QRect CAlbumCtrl::clientRect() const { return rect().adjusted(kBorder, kBorder, -kBorder, -kBorder); }

QRect CAlbumCtrl::cellRect(int index) const {
    return QRect(kBorder + m_model.cellLeft(index), kBorder + m_model.cellTop(index), m_model.cellWidth(),
                 m_model.cellHeight());
}

void CAlbumCtrl::layoutClient() {
    const QRect client = clientRect();
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    m_bar->setGeometry(client.right() + 1 - barWidth, client.top(), barWidth, std::max(0, client.height()));
    m_model.setClientSize(client.width(), client.height(), barWidth);
}

void CAlbumCtrl::resizeEvent(QResizeEvent*) {
    layoutClient();
    emit viewChanged();
}

void CAlbumCtrl::changeEvent(QEvent* e) {
    // The highlight brush follows the system colours.
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange) update();
    QWidget::changeEvent(e);
}

void CAlbumCtrl::paintBorder(QPainter& p) {
    const QRect r = rect();
    const QPalette& pal = palette();
    auto lines = [&](int inset, QColor topLeft, QColor bottomRight) {
        const QRect b = r.adjusted(inset, inset, -inset, -inset);
        p.setPen(topLeft);
        p.drawLine(b.topLeft(), b.topRight());
        p.drawLine(b.topLeft(), b.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(b.bottomLeft(), b.bottomRight());
        p.drawLine(b.topRight(), b.bottomRight());
    };
    lines(0, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    lines(1, Qt::black, pal.color(QPalette::Button));
}

void CAlbumCtrl::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    paintBorder(p);
    const QRect client = clientRect();
    p.setClipRect(client.intersected(e->rect()));
    p.fillRect(client, Qt::white);
    p.setFont(m_metrics.font);
    for (int i = m_model.firstVisible(); i < m_model.count(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.top() > client.bottom()) break;
        if (!cell.intersects(e->rect())) continue;
        // A long caption stays inside its own cell.
        p.setClipRect(cell.intersected(client).intersected(e->rect()));
        paintCell(p, i, cell);
    }
}

void CAlbumCtrl::paintCell(QPainter& p, int index, const QRect& cell) {
    const AlbumItem& item = m_model.item(index);
    const bool selected = item.state & album_state::kSelected;
    const QColor highlight = palette().color(QPalette::Highlight);
    p.fillRect(cell, selected ? highlight : QColor(Qt::white));
    if (!(item.state & album_state::kHidden)) {
        const QRect thumb(cell.left() + 2, cell.top() + 2, m_model.thumbnailWidth(), m_model.thumbnailHeight());
        if (item.state & album_state::kHasThumbnail) {
            p.drawImage(thumb, item.thumbnail);
        } else {
            p.setPen(Qt::black);
            p.setBrush(Qt::NoBrush);
            p.drawRect(thumb.adjusted(0, 0, -1, -1));
        }
        const QString text = shownCaption(item.caption);
        const QFontMetrics metrics(m_metrics.font);
        const int width = metrics.horizontalAdvance(text);
        const QRect line(cell.left() + cell.width() / 2 - width / 2, cell.top() + m_model.thumbnailHeight() + 4, width,
                         metrics.height());
        p.fillRect(line, selected ? highlight : palette().color(QPalette::Base));
        p.setPen(selected ? palette().color(QPalette::HighlightedText) : QColor(Qt::black));
        p.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    const QBrush frame = (item.state & album_state::kFocus) ? m_focusBrush
                         : selected                         ? QBrush(highlight)
                                                            : QBrush(Qt::white);
    p.fillRect(QRect(cell.left(), cell.top(), cell.width(), 1), frame);
    p.fillRect(QRect(cell.left(), cell.bottom(), cell.width(), 1), frame);
    p.fillRect(QRect(cell.left(), cell.top(), 1, cell.height()), frame);
    p.fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), frame);
}

void CAlbumCtrl::invalidateItem(int index) {
    const int row = index / m_model.columns() - m_model.firstVisibleRow();
    if (row < 0 || row > m_model.visibleRows()) return;
    update(cellRect(index));
}

void CAlbumCtrl::invalidateFrom(int index) {
    const QRect client = clientRect();
    const int top = std::max(client.top(), cellRect(index).top());
    update(QRect(client.left(), top, client.width(), client.bottom() + 1 - top));
}

void CAlbumCtrl::scrolled(int rows) {
    QRect area = clientRect();
    area.setRight(m_bar->geometry().left() - 1);
    if (std::abs(rows) < m_model.visibleRows()) scroll(0, -rows * m_model.cellHeight(), area);
    else update(area);
    emit viewChanged();
}

void CAlbumCtrl::scrollBarChanged() {
    const AlbumScrollBar bar = m_model.scrollBar();
    m_syncingBar = true;
    m_bar->setRange(0, bar.maximum);
    m_bar->setPageStep(std::max(1, m_model.visibleRows()));
    m_bar->setValue(bar.position);
    m_bar->setEnabled(bar.enabled);
    m_syncingBar = false;
}

void CAlbumCtrl::keyPressEvent(QKeyEvent* e) {
    const auto key = albumKeyOf(e->key());
    if (!key) {
        QWidget::keyPressEvent(e);
        return;
    }
    m_model.key(*key, e->modifiers() & Qt::ShiftModifier);
    e->accept();
}

void CAlbumCtrl::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint() - clientRect().topLeft();
    if (at.x() >= clientRect().width()) return;
    setFocus(Qt::MouseFocusReason);
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    m_model.press(at.x(), at.y(), ctrl, shift);
    m_lastDrag = at;
    afterPress(m_model.hitTest(at.x(), at.y()));
    if (dragHeld()) m_timer.start(kDragRepeatMs, this);
}

void CAlbumCtrl::mouseMoveEvent(QMouseEvent* e) {
    if (!dragHeld()) return;
    m_lastDrag = e->position().toPoint() - clientRect().topLeft();
    dragTo(m_lastDrag);
}

void CAlbumCtrl::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    m_timer.stop();
    m_model.release();
    afterRelease();
}

void CAlbumCtrl::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint at = e->position().toPoint() - clientRect().topLeft();
    m_model.doubleClick(at.x(), at.y());
}

void CAlbumCtrl::timerEvent(QTimerEvent* e) {
    if (e->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(e);
        return;
    }
    // Holding the mouse above or below keeps the view moving.
    if (dragHeld() && (m_lastDrag.y() < 0 || m_lastDrag.y() >= m_model.clientHeight())) dragTo(m_lastDrag);
}

void CAlbumCtrl::focusInEvent(QFocusEvent*) { m_model.setHasFocus(true); }

void CAlbumCtrl::focusOutEvent(QFocusEvent*) { m_model.setHasFocus(false); }

}  // namespace quillon
